# Front door. `make test` and `make demo` install what they need on a fresh Debian machine.
SHELL := /bin/bash
.DEFAULT_GOAL := test

APT_PACKAGES := cmake ninja-build clang libclang-rt-14-dev googletest g++-mingw-w64-x86-64 g++-mingw-w64-i686 \
                binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 wine wine64 xvfb xauth x11-utils libx11-dev xdotool imagemagick python3 nsis
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)
FUZZ_SECONDS ?= 600
VERSION := $(shell grep '^project' CMakeLists.txt | grep -o '[0-9][0-9.]*')

.PHONY: deps configure build test native-test wine-test dist demo fuzz clean bench mutants

# Installs only what is missing, so a prepared machine skips apt entirely.
deps:
	@missing=$$(for p in $(APT_PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

build/%/build.ninja: | deps
	cmake --preset $* >/dev/null

build: deps build/native/build.ninja build/x64/build.ninja build/x86/build.ninja
	cmake --build build/native
	cmake --build build/x64
	cmake --build build/x86

native-test: build
	ctest --test-dir build/native --output-on-failure --no-tests=error -j2

# One Xvfb display and one Wine session in a fresh prefix for all the Windows tests.
wine-test: build
	tests/wine/session build/x64 ctest --test-dir build/x64 --output-on-failure --no-tests=error
	ctest --test-dir build/x86 --output-on-failure --no-tests=error

test: native-test wine-test

# Figures, not verdicts: each benchmark runs under Wine in a fresh prefix.
bench: build
	tests/wine/session build/x64 tests/wine/winerun build/x64/bin/discovery_bench.exe
	tests/wine/session build/x64 tests/wine/winerun build/x64/bin/host_bench.exe
	tests/wine/session build/x64 tests/wine/winerun build/x64/bin/settings_bench.exe

dist: build
	mkdir -p out/x64 out/x86
	cp build/x64/bin/vantora.scr build/x64/bin/vstars.scr build/x64/bin/vlines.scr build/x64/bin/vplasma.scr out/x64/
	cp build/x86/bin/vantora.scr build/x86/bin/vstars.scr build/x86/bin/vlines.scr build/x86/bin/vplasma.scr out/x86/
	# Shipped without symbols: reports carry addresses, and the unwind tables stay.
	x86_64-w64-mingw32-strip out/x64/*.scr
	i686-w64-mingw32-strip out/x86/*.scr
	cp build/x64/bin/vtagent.exe out/x64/
	cp build/x86/bin/vtagent.exe out/x86/
	x86_64-w64-mingw32-strip out/x64/vtagent.exe
	i686-w64-mingw32-strip out/x86/vtagent.exe
	# The installers are built with everything else and carry stripped copies of the same programs.
	cp build/x64/bin/vantora-$(VERSION)-x64-installer.exe build/x86/bin/vantora-$(VERSION)-x86-installer.exe out/
	@stat -c '%n %s bytes' out/x64/vantora.scr out/x86/vantora.scr
	@echo "Products in out/x64 and out/x86; installers out/vantora-$(VERSION)-x64-installer.exe and out/vantora-$(VERSION)-x86-installer.exe"

# A real full-screen rotation of the demo screensavers, with a screenshot of each in out/demo/.
demo: deps build/x64/build.ninja
	cmake --build build/x64 --target vantora vtagent demo_starfield demo_lines demo_plasma
	demos/run-demo build/x64 out/demo

# FUZZ_SECONDS is shared among the targets; each keeps its corpus in the build folder.
FUZZ_TARGETS := listfile commandline prev setting
fuzz: build/native/build.ninja
	cmake --build build/native -j2 $(addprefix --target fuzz_,$(FUZZ_TARGETS))
	@for t in $(FUZZ_TARGETS); do \
	    mkdir -p build/native/corpus/$$t && \
	    echo "== fuzz_$$t" && \
	    build/native/bin/fuzz_$$t -max_total_time=$$(( $(FUZZ_SECONDS) / $(words $(FUZZ_TARGETS)) )) -max_len=4096 \
	        -print_final_stats=1 build/native/corpus/$$t fuzz/seeds/$$t || exit 1; \
	done

# Not part of CI: applies each fault of tests/mutants/mutants.txt in turn and prints which the tests
# kill. One Wine session serves the rows that need the Windows tests.
mutants: deps build/native/build.ninja build/x64/build.ninja
	tests/wine/session build/x64 tests/mutants/run

clean:
	rm -rf build out
