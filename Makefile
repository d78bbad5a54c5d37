# make        prepares the machine and builds both targets
# make test   the same, then runs every test of the 64-bit build under Wine
# make run    the same as make, then starts the installer under Wine (Xvfb when
#             there is no display); the 32-bit build is the one shipped, Wine here
#             runs the 64-bit build of the same sources
.PHONY: all setup build32 build64 test run clean

all: build64 build32

setup:
	@bash scripts/setup

# The 32-bit build packs its sample payload with the 64-bit build's tools.
build32: setup build64
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

build64: setup
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

test: all
	@status=0; ctest --preset win64 || status=$$?; scripts/wine-run --stop; exit $$status

run: all
	scripts/wine-run build/win64/app/Install.exe; echo "Install exited with $$?"

clean:
	rm -rf build/win32 build/win64 build/wine
