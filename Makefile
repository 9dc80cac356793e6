# The two commands of the README: `make demo` and `make test`.
# `make` builds dist/: both Windows images, the instcfg tool (Linux and Windows).
#
# Packages come first (scripts/install-deps; installing them needs root once),
# then every step runs as any user and writes only below this folder.

JOBS ?= $(shell nproc)
PRESETS := native win32 win64 fuzz

# Whether Wine runs 32-bit programs here, found out once by scripts/wine-env
# and handed to every script below (empty while Wine is not yet installed:
# then the scripts find out themselves). 1: only 64-bit images run, so the
# win32 tier's programs are not built.
export DISCMENU_WINE64_ONLY := $(shell . scripts/wine-env >/dev/null 2>&1; echo "$${DISCMENU_WINE64_ONLY:-}")
TEST_TREES := native $(if $(filter 1,$(DISCMENU_WINE64_ONLY)),,win32) win64 fuzz

.PHONY: all deps layers images dist test demo bench fuzz clean $(addprefix build-,$(PRESETS))

all: dist

deps:
	@scripts/install-deps

# Every include points to a folder below its own (docs/architecture.md), and
# every path and code name the docs write in backticks exists.
layers: | deps
	@scripts/check-layers
	@scripts/check-docs

build/%/CMakeCache.txt: | deps
	@cmake --preset $* >/dev/null

# A whole tree: the program and every test program of a preset.
$(addprefix build-,$(PRESETS)): build-%: build/%/CMakeCache.txt
	@cmake --build --preset $* -j $(JOBS)

# Only what dist/ ships, not the test programs; the Linux tool is an
# optimised target of the native tree.
dist: build/native/CMakeCache.txt build/win32/CMakeCache.txt build/win64/CMakeCache.txt
	@cmake --build --preset win32 -j $(JOBS) --target install_exe instcfg
	@cmake --build --preset win64 -j $(JOBS) --target install_exe
	@cmake --build --preset native -j $(JOBS) --target instcfg_dist
	@mkdir -p dist/win32 dist/win64
	@cp build/win32/launcher/install.exe dist/win32/install.exe
	@cp build/win64/launcher/install.exe dist/win64/install.exe
	@cp build/native/tools/dist/instcfg dist/instcfg
	@cp build/win32/tools/instcfg.exe dist/win32/instcfg.exe
	@echo "dist: win32/install.exe win64/install.exe instcfg win32/instcfg.exe"

# Both images, whose import tables the native tier reads (tests/images):
# the i686 one too where its own tier cannot run.
images: build/win32/CMakeCache.txt build/win64/CMakeCache.txt
	@cmake --build --preset win32 -j $(JOBS) --target install_exe
	@cmake --build --preset win64 -j $(JOBS) --target install_exe

# The layer and docs checks first (a second), then every tier: native unit tests (memory backend, headless toolkit, sanitizers),
# then the Windows builds under Wine (unit suite, platform contract suite
# against the real Win32 backend, end-to-end runs of install.exe), then each
# fuzz target once over its corpus.
test: deps layers $(addprefix build-,$(TEST_TREES)) images
	@scripts/run-tests $(PRESETS)

demo: deps dist
	@scripts/demo

bench: deps dist build-native
	@scripts/bench

# Each fuzz target for FUZZ_SECONDS (default 60) seconds, one after the
# other: executions, coverage and crashes per target (scripts/fuzz).
FUZZ_SECONDS ?= 60
fuzz: deps build-fuzz
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz

clean:
	rm -rf build dist demo-out
