# make test: install what is missing, build every preset, run every test.
# make demo: install what is missing, build, run the demo headless.
.PHONY: all deps test demo clean

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

demo: all
	build/default/tools/vekdemo

clean:
	rm -rf build
