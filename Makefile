# The two commands: `make run` (the viewer on a demo memory card) and `make test`.
# Both prepare the machine first (scripts/setup is quick when nothing is missing).
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all run test setup host win clean

all: host win

setup:
	@scripts/setup

host: setup
	@cmake -S . -B $(BUILD)/host -G Ninja $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)/host

win: setup
	@cmake -S . -B $(BUILD)/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)/win

test: host win
	@BUILD_DIR=$(abspath $(BUILD)) scripts/test

run: win
	@BUILD_DIR=$(abspath $(BUILD)) scripts/run-demo

clean:
	rm -rf $(BUILD)
