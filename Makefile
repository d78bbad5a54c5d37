# make        prepares the machine and builds both targets
# make test   the same, then runs every test on both builds: the shipped 32-bit build
#             under 32-bit Wine (left out, with one line saying why, where this machine
#             runs no 32-bit programs), then the 64-bit build under 64-bit Wine
# make run    the same as make, then starts the shipped 32-bit installer under Wine
#             (the 64-bit build where 32-bit programs cannot run; it says which);
#             without a display it walks a quick installation by itself in English,
#             German and at 150 % and saves a picture of every page (build/screenshots)
# make bench  the benchmarks of both builds (installs nsis for the peer comparison)
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
	@command -v makensis >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nsis >/dev/null
	@echo "== 64-bit build"; scripts/wine-run build/win64/bench/extract.exe; \
	scripts/wine-run build/win64/bench/install_run.exe; \
	scripts/wine-run build/win64/bench/record_scale.exe; \
	VT_WINE_PREFIX=$(CURDIR)/build/wine-private/bench-startup scripts/wine-run build/win64/bench/startup.exe; \
	scripts/make-peer-installer build/win64/sample/payload_files/manifest.txt amd64-unicode build/win64/bench/peer-amd64.exe && \
	VT_WINE_PREFIX=$(CURDIR)/build/wine-private/bench-peer scripts/wine-run build/win64/bench/peer.exe build/win64/bench/peer-amd64.exe
	@echo "== shipped 32-bit build"; \
	if scripts/wine-run32 --check; then scripts/wine-run32 build/win32/bench/extract.exe; \
	    scripts/wine-run32 build/win32/bench/install_run.exe; \
	    scripts/make-peer-installer build/win32/sample/payload_files/manifest.txt x86-unicode build/win32/bench/peer-x86.exe && \
	    VT_WINE_PREFIX=$(CURDIR)/build/wine-private/bench-peer32 scripts/wine-run32 build/win32/bench/peer.exe build/win32/bench/peer-x86.exe; \
	else echo "bench: skipped: this machine runs no 32-bit programs"; fi

clean:
	rm -rf build/win32 build/win64 build/wine build/wine32
