# Entry points. Each installs what is missing first (scripts/deps.sh is idempotent).
.PHONY: deps build dist test bench soak demo guide-images clean

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

# Hours of faults and bad input in minutes: SOAK_MINUTES (default 10) per long run.
soak: deps
	scripts/run-tests.sh soak

demo: deps
	scripts/demo.sh

# The operator's guide shows the main dialog, the gas-mixture tab, the link report and the port
# dialog as the demo leaves them: refresh its committed pictures from a new demo run.
guide-images: demo
	cp build/demo/main-dialog.png build/demo/mixture-tab.png build/demo/link-report.png build/demo/port-dialog.png \
	  docs/images/

clean:
	rm -rf build
