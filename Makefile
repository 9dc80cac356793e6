# The two commands of the README: `make demo` and `make test`.
# `make` builds dist/: both Windows images, the instcfg tool (Linux and Windows).

JOBS ?= $(shell nproc)
PRESETS := native win32 win64
BUILDS := $(addprefix build-,$(PRESETS) native-tool)

.PHONY: all deps dist test demo bench clean $(BUILDS)

all: dist

deps:
	@scripts/install-deps

build/%/CMakeCache.txt: | deps
	@cmake --preset $* >/dev/null

$(BUILDS): build-%: build/%/CMakeCache.txt
	@cmake --build --preset $* -j $(JOBS)

dist: build-win32 build-win64 build-native-tool
	@mkdir -p dist/win32 dist/win64
	@cp build/win32/launcher/install.exe dist/win32/install.exe
	@cp build/win64/launcher/install.exe dist/win64/install.exe
	@cp build/native-tool/tools/instcfg dist/instcfg
	@cp build/win32/tools/instcfg.exe dist/win32/instcfg.exe
	@echo "dist: win32/install.exe win64/install.exe instcfg win32/instcfg.exe"

# Every tier: native unit tests (memory backend, headless toolkit, sanitizers),
# then the Windows builds under Wine (unit suite, platform contract suite
# against the real Win32 backend, end-to-end runs of install.exe).
test: deps dist build-native
	@scripts/run-tests $(PRESETS)

demo: deps dist
	@scripts/demo

bench: deps dist build-native
	@scripts/bench

clean:
	rm -rf build dist demo-out
