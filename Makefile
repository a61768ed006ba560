# The two commands: `make run` (the viewer on a demo memory card) and `make test`.
# Both prepare the machine first (scripts/setup is quick when nothing is missing).
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all run test setup host win clean fuzz gallery

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

clean:
	rm -rf $(BUILD)
