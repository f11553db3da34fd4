# make test: install what is missing, build every preset, run every test.
# make demo: install what is missing, build the demo alone, run it headless.
# make play: the same build, then the demo in a live window (SDL2).
# make fuzz: build the libFuzzer targets with clang and run each for
#            FUZZ_SECONDS, starting from its corpus in fuzz/corpus/<target>;
#            new inputs go to build/fuzz/corpus/<target>, crashes to build/fuzz.
.PHONY: all deps test demo play vekdemo fuzz clean native asan win32 win64

FUZZ_SECONDS ?= 30
FUZZ_TARGETS := $(notdir $(wildcard fuzz/corpus/*))

all: deps
	cmake --preset default
	cmake --build --preset default

deps:
	scripts/install-deps

native: all
	ctest --preset default

asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# 32-bit Windows: compile and link only (this machine cannot run i686 code);
# the record layouts are proved by static_asserts, the exports by name.
win32: deps
	cmake --preset win32
	cmake --build --preset win32
	cmake --build --preset win32 --target check-exports

# 64-bit Windows: the library and its tests run under Wine.
win64: deps
	cmake --preset win64
	cmake --build --preset win64
	cmake --build --preset win64 --target check-exports
	ctest --preset win64

test: native asan win32 win64
	@scripts/test-summary native=build/default asan=build/asan wine=build/win64
	@scripts/test-ratio | tail -n 1

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$t && \
	  build/fuzz/fuzz/fuzz_$$t build/fuzz/corpus/$$t fuzz/corpus/$$t \
	    -max_total_time=$(FUZZ_SECONDS) -max_len=20000 -timeout=20 \
	    -artifact_prefix=build/fuzz/$$t- -print_final_stats=1 || exit 1; \
	done

# The demo, its font and the libraries it links, nothing else.
vekdemo: deps
	cmake --preset default
	cmake --build --preset default --target vekdemo

demo: vekdemo
	VEKHOST_DISPLAY=headless build/default/tools/vekdemo build/vekdemo.gif

play: vekdemo
	build/default/tools/vekdemo --play

clean:
	rm -rf build
