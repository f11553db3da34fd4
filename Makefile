# make test: install what is missing, build every preset, run every test.
# make demo: install what is missing, build, run the demo headless.
# make fuzz: build the libFuzzer targets with clang and run each for
#            FUZZ_SECONDS, starting from its corpus in fuzz/corpus/<target>;
#            new inputs go to build/fuzz/corpus/<target>, crashes to build/fuzz.
.PHONY: all deps test demo fuzz clean

FUZZ_SECONDS ?= 30
FUZZ_TARGETS := $(notdir $(wildcard fuzz/corpus/*))

all: deps
	cmake --preset default
	cmake --build --preset default

deps:
	scripts/install-deps

test: deps
	cmake --preset default
	cmake --build --preset default
	ctest --preset default
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset win32
	cmake --build --preset win32
	cmake --build --preset win32 --target check-exports

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$t && \
	  build/fuzz/fuzz/fuzz_$$t build/fuzz/corpus/$$t fuzz/corpus/$$t \
	    -max_total_time=$(FUZZ_SECONDS) -max_len=20000 -timeout=20 \
	    -artifact_prefix=build/fuzz/$$t- -print_final_stats=1 || exit 1; \
	done

demo: all
	build/default/tools/vekdemo

clean:
	rm -rf build
