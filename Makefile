# make        prepares the machine and builds both targets
# make test   the same, then runs every test of the 64-bit build under Wine
.PHONY: all setup build32 build64 test clean

all: build32 build64

setup:
	@bash scripts/setup

build32: setup
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

build64: setup
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

test: all
	@status=0; ctest --preset win64 || status=$$?; scripts/wine-run --stop; exit $$status

clean:
	rm -rf build/win32 build/win64 build/wine
