# The two commands of the README:
#   make run   builds and runs the game
#   make test  builds and runs every test
# and installing it:
#   make install [PREFIX=/usr/local] [DESTDIR=]   the programs, data, menu entry, icons, manuals
#   make uninstall [DESTDIR=]                     removes what the last make install installed
#   make package                                  build/crateworks_VERSION_ARCH.deb
# and the browser's:
#   make web       the static site in build/web/ (and the replay for wasm, build-wasm/)
#   make web-run   serves it on 127.0.0.1 and prints the address
# and for Windows, cross-built here (SDL built once from Debian's sources into build-windows/deps):
#   make windows    build-windows/crateworks-VERSION-win64.zip and .exe (the installer)
BUILD_PACKAGES := cmake make g++ pkg-config libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev \
                  libsdl2-ttf-dev libgtest-dev libx11-dev libxext-dev libwayland-dev
# What the game loads at run time beyond its libraries: libdecor's plugin (the key dialog's title
# bar and close box on Wayland desktops that leave them to the program).
RUN_PACKAGES := libdecor-0-plugin-1-cairo
# dpkg-shlibdeps (dpkg-dev) and file compute the package's dependencies.
PACKAGE_PACKAGES := $(BUILD_PACKAGES) dpkg-dev file
TEST_PACKAGES := $(PACKAGE_PACKAGES) xvfb xauth xdotool imagemagick x11-xserver-utils x11-utils \
                 openbox wmctrl locales weston $(RUN_PACKAGES) \
                 clang libclang-rt-14-dev valgrind \
                 desktop-file-utils appstream man-db lintian fonts-dejavu-core
# The web page's module and the replay for wasm (Debian's clang-14 for wasm32-wasi), and what
# serves and tests the page (node; chromium in the tests).
WEB_PACKAGES := cmake make clang-14 lld-14 wasi-libc libc++-14-dev-wasm32 libc++abi-14-dev-wasm32 \
                libclang-rt-14-dev-wasm32
TEST_PACKAGES += $(WEB_PACKAGES) chromium
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
DESTDIR ?=
# What an install needs built: the programs, their data and the compressed manual pages.
INSTALLED_TARGETS := crateworks crateworks-replay crateworks_data crateworks_docs

.PHONY: run test build packages test-packages install uninstall package web web-run windows

packages:
	@tools/ensure-packages $(BUILD_PACKAGES)

test-packages:
	@tools/ensure-packages $(TEST_PACKAGES)

build: packages
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build -j $(JOBS) --target crateworks

run: build
	@tools/ensure-packages $(RUN_PACKAGES)
	./build/crateworks

test: test-packages
	@tools/run-tests

web:
	@tools/ensure-packages $(WEB_PACKAGES)
	@JOBS=$(JOBS) tools/build-wasm
	@echo "The site is in build/web/ (make web-run serves it)."

web-run: web
	node tools/serve_web.mjs build/web

install: packages
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$(PREFIX)" >/dev/null
	@cmake --build build -j $(JOBS) --target $(INSTALLED_TARGETS)
	@DESTDIR="$(DESTDIR)" cmake --install build

uninstall:
	@DESTDIR="$(DESTDIR)" cmake --build build --target uninstall

# The package's prefix is /usr whatever PREFIX says.
package:
	@tools/ensure-packages $(PACKAGE_PACKAGES)
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build -j $(JOBS) --target $(INSTALLED_TARGETS)
	@cd build && cpack -G DEB

windows:
	@JOBS=$(JOBS) tools/windows-build
