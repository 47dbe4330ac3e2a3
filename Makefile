# Two commands for a newcomer: `make run` and `make test`. Both first install
# what is missing (Debian packages), then build with CMake into build/.

BUILD := build
JOBS  := $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test build setup clean

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# The game starts in its program folder, beside the figures and help pages.
run: build
	@cd $(BUILD)/bin && ./murlen

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
