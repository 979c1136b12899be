# The two commands: `make run` and `make test`. Each installs what is missing, builds and runs.
# `make package` builds the Debian package.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test setup build package clean

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)/tessolon

test: setup
	@bash scripts/test.sh $(BUILD) $(JOBS)

# The Debian package (build/tessolon_*.deb); install it with: sudo apt install ./build/tessolon_*.deb
package: build
	@cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize $(BUILD)-tsan $(BUILD)-fuzz
