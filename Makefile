# Entry points. Each installs what is missing first (scripts/deps.sh is idempotent).
.PHONY: deps build dist test bench demo clean

deps:
	@scripts/deps.sh

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release

# The Windows setup program, build/dist/orvex-setup-<version>.exe, from the release build.
dist: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target dist

test: deps
	scripts/run-tests.sh test

bench: deps
	scripts/run-tests.sh bench

demo: deps
	scripts/demo.sh

clean:
	rm -rf build
