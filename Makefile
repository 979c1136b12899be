# The two commands: `make run` and `make test`. Each installs what is missing, builds and runs.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test setup build clean

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)/tessolon

test: setup
	@bash scripts/test.sh $(BUILD) $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize $(BUILD)-tsan $(BUILD)-fuzz
