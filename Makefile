# The two commands: `make run` and `make test`. Each installs what is missing, builds and runs:
# `make run` the packages for building and running (scripts/packages-build.txt), `make test`
# those and the test tools (scripts/packages-test.txt). `make package` builds the Debian package.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test setup setup-test build package clean

setup:
	@bash scripts/setup.sh build

setup-test:
	@bash scripts/setup.sh build test

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)/tessolon

test: setup-test
	@bash scripts/test.sh $(BUILD) $(JOBS)

# The Debian package (build/tessolon_*.deb); install it with: sudo apt install ./build/tessolon_*.deb
package: build
	@cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize $(BUILD)-tsan $(BUILD)-fuzz
