# Entry points for a fresh Debian 12 machine (see README.md).
JOBS ?= $(shell nproc)
LINUX_BUILD ?= build/linux
WINDOWS_BUILD ?= build/windows

.PHONY: all deps linux windows test test-linux test-windows run demo tsan fuzz format clean

all: linux windows

deps:
	./tools/install-deps.sh

linux: deps
	cmake -S . -B $(LINUX_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(LINUX_BUILD) -j$(JOBS)

windows: deps
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(WINDOWS_BUILD) -j$(JOBS)

test: test-linux test-windows

test-linux: linux
	cd $(LINUX_BUILD) && ctest --output-on-failure -j$(JOBS)

# The Windows download road needs the Linux build's loopback server.
test-windows: windows linux
	./tools/run-wine-tests.sh $(WINDOWS_BUILD) $(LINUX_BUILD)

# ThreadSanitizer build of the Linux tests.
tsan: deps
	cmake -S . -B build/tsan -DQUILLREEL_TSAN=ON -DQUILLREEL_GUI=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build build/tsan -j$(JOBS)
	cd build/tsan && ctest --output-on-failure -R concurrency

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
