# The two commands of the README:
#   make run   builds and runs the game
#   make test  builds and runs every test
BUILD_PACKAGES := cmake make g++ pkg-config libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev \
                  libsdl2-ttf-dev libgtest-dev
TEST_PACKAGES := $(BUILD_PACKAGES) xvfb xauth xdotool imagemagick x11-xserver-utils x11-utils \
                 libx11-dev locales openbox \
                 clang libclang-rt-14-dev valgrind
JOBS ?= $(shell nproc)

.PHONY: run test build packages test-packages

packages:
	@tools/ensure-packages $(BUILD_PACKAGES)

test-packages:
	@tools/ensure-packages $(TEST_PACKAGES)

build: packages
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build -j $(JOBS) --target crateworks

run: build
	./build/crateworks

test: test-packages
	@tools/run-tests
