# make        prepares the machine and builds both targets
# make test   the same, then runs every test on both builds: the shipped 32-bit build
#             under 32-bit Wine (left out, with one line saying why, where this machine
#             runs no 32-bit programs), then the 64-bit build under 64-bit Wine
# make run    the same as make, then starts the shipped 32-bit installer under Wine
#             (the 64-bit build where 32-bit programs cannot run; it says which);
#             without a display it walks a quick installation by itself in English,
#             German and at 150 % and saves a picture of every page (build/screenshots)
# make bench  the benchmarks of both builds
.PHONY: all setup build32 build64 test run bench clean

all: build64 build32

setup:
	@bash scripts/setup

# The 32-bit build packs its payloads with the 64-bit build's tools.
build32: setup build64
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

build64: setup
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

test: all
	@status=0; \
	if scripts/wine-run32 --check 2>/tmp/wine-run32-check.$$$$; then \
	    ctest --preset win32 || status=$$?; \
	else \
	    sed 's/^wine-run32: /make test: the shipped 32-bit build is not run: /' /tmp/wine-run32-check.$$$$; \
	fi; rm -f /tmp/wine-run32-check.$$$$; \
	ctest --preset win64 || status=$$?; \
	scripts/wine-run32 --stop; scripts/wine-run --stop; exit $$status

run: all
	@bash scripts/run-installer

bench: all
	@echo "== 64-bit build"; scripts/wine-run build/win64/bench/extract.exe
	@echo "== shipped 32-bit build"; \
	if scripts/wine-run32 --check; then scripts/wine-run32 build/win32/bench/extract.exe; \
	else echo "bench: skipped: this machine runs no 32-bit programs"; fi

clean:
	rm -rf build/win32 build/win64 build/wine build/wine32
