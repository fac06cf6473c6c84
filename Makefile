# Entry points for a fresh Debian 12 machine (see README.md).
JOBS ?= $(shell nproc)
LINUX_BUILD ?= build/linux
WINDOWS_BUILD ?= build/windows
ASAN_BUILD ?= build/asan
TSAN_BUILD ?= build/tsan
# Every sanitizer report ends the test that met it, as a failure.
ASAN_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
TSAN_ENV = TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
# What the sanitizer runs need: the tests, the console program and the loopback server.
ASAN_TARGETS = runtime_tests settings_tests concurrency_tests http_tests engine_tests app_tests \
	quillreel-cli quillreel-hls-server
TSAN_TARGETS = concurrency_tests engine_tests app_tests

.PHONY: all deps linux windows test test-linux test-windows test-sanitize test-asan test-tsan run demo tsan fuzz format clean

all: linux windows

deps:
	./tools/install-deps.sh

linux: deps
	cmake -S . -B $(LINUX_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(LINUX_BUILD) -j$(JOBS)

windows: deps
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(WINDOWS_BUILD) -j$(JOBS)

test: test-linux test-windows test-sanitize

test-linux: linux
	cd $(LINUX_BUILD) && ctest --output-on-failure -j$(JOBS)

# The Windows download road needs the Linux build's loopback server.
test-windows: windows linux
	./tools/run-wine-tests.sh $(WINDOWS_BUILD) $(LINUX_BUILD)

test-sanitize: test-asan test-tsan

# AddressSanitizer and UndefinedBehaviorSanitizer build: every Linux test and the download road.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DQUILLREEL_ASAN=ON -DQUILLREEL_GUI=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(ASAN_BUILD) --target $(ASAN_TARGETS) -j$(JOBS)
	cd $(ASAN_BUILD) && $(ASAN_ENV) ctest --output-on-failure -j$(JOBS)

# ThreadSanitizer build: the pool, the engine and the queue controller.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DQUILLREEL_TSAN=ON -DQUILLREEL_GUI=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(TSAN_BUILD) --target $(TSAN_TARGETS) -j$(JOBS)
	$(TSAN_ENV) $(TSAN_BUILD)/tests/concurrency/concurrency_tests --gtest_brief=1
	$(TSAN_ENV) $(TSAN_BUILD)/tests/engine/engine_tests --gtest_brief=1
	$(TSAN_ENV) $(TSAN_BUILD)/tests/app/app_tests --gtest_brief=1 --gtest_filter='QueueController*'

tsan: test-tsan

run: linux
	./tools/run-desktop.sh $(LINUX_BUILD)

# A test stream served on 127.0.0.1, downloaded and merged by quillreel-cli.
demo: linux
	./tools/demo.sh $(LINUX_BUILD)

# libFuzzer targets built by clang with ASan and UBSan, SECONDS per target (not part of `make test`).
SECONDS ?= 60
fuzz: deps
	./tools/fuzz.sh $(SECONDS)

format:
	find src tests bench apps -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
