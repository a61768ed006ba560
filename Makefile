# The two commands: `make run` (the viewer on a demo memory card) and `make test`;
# `make bench` prints the speed figures.
# Both prepare the machine first (scripts/setup is quick when nothing is missing).
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all run test setup host win clean fuzz gallery bench

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

# Every widget in every state, one screenshot each, and a contact sheet:
# $(BUILD)/gallery/sheet.png.
gallery: win
	@BUILD_DIR=$(abspath $(BUILD)) scripts/gallery

# libFuzzer targets (clang, ASan + UBSan) in $(BUILD)/fuzz, each run FUZZ_SECONDS.
FUZZ_SECONDS ?= 600
fuzz: setup
	@deps=$$(scripts/build-fuzz-deps) && \
	  cmake -S . -B $(BUILD)/fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DPATHSCOPE_FUZZ=ON -DPATHSCOPE_FUZZ_DEPS=$$deps $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)/fuzz --target pathscope_fuzzers
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz $(abspath $(BUILD))/fuzz

# The speed figures: the archive benchmark on the host (built without sanitizers in
# $(BUILD)/bench-host) and under Wine, the playback benchmark under Wine, one table.
bench: setup
	@cmake -S . -B $(BUILD)/bench-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DPATHSCOPE_SANITIZE=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)/bench-host --target archive_bench export_bench
	@cmake -S . -B $(BUILD)/win -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)/win --target archive_bench playback_bench examine_bench export_bench
	@bench/run-all $(BUILD)/bench-host $(BUILD)/win

clean:
	rm -rf $(BUILD)
