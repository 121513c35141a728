# Entry points. Each installs what is missing first (scripts/deps.sh is idempotent).
.PHONY: deps build test bench demo clean

deps:
	@scripts/deps.sh

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release

test: deps
	scripts/run-tests.sh test

bench: deps
	scripts/run-tests.sh bench

demo: deps
	scripts/demo.sh

clean:
	rm -rf build
