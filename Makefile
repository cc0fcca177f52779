# The two commands a newcomer needs: `make run` and `make test`.
# Both install the Debian packages they need when they are missing: `run`
# what building and playing need, `test` what the tests add on top.
BUILD   ?= build
ASAN    ?= build-asan
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
PACKAGES      = scripts/debian-packages.txt
TEST_PACKAGES = scripts/debian-packages-test.txt
WINDOWS_PACKAGES = scripts/debian-packages-windows.txt
WINDOWS ?= build-windows
WEB_PACKAGES = scripts/debian-packages-web.txt
WEB_TEST_PACKAGES = scripts/debian-packages-web-test.txt
WEB ?= build-web
WEB_PORT ?= 8765

.PHONY: run test deps deps-test build build-asan test-fast test-asan clean \
        windows test-windows deps-windows deps-windows-test web test-web run-web

deps:
	@scripts/install-deps $(PACKAGES)

deps-test:
	@scripts/install-deps $(PACKAGES) $(TEST_PACKAGES)

build: deps-test
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DVORARID_WERROR=ON -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)

# Playing needs the game alone: a new build tree leaves the tests and the
# benchmark out, one that has them keeps them.
run: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DVORARID_WERROR=ON \
	  $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DBUILD_TESTING=OFF)
	cmake --build $(BUILD) -j $(JOBS) --target vorarid
	$(BUILD)/vorarid

# The whole suite: the normal build, then the same tests built with sanitizers.
test: test-fast test-asan

test-fast: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

build-asan: deps-test
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVORARID_SANITIZE=ON -DVORARID_WERROR=ON -DBUILD_TESTING=ON
	cmake --build $(ASAN) -j $(JOBS)

# Leak detection stays on; the suppression file names anything that is not ours.
test-asan: build-asan
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS) -L sanitize

# The game for Windows, cross-built: one .exe, linked against a static Qt
# that scripts/static-qt makes once from Debian's own qt6-base source.
# Like `run`, a new tree leaves the tests out and one that has them keeps them.
WINDOWS_CONFIGURE = cmake -S . -B $(WINDOWS) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORARID_WERROR=ON \
	  --toolchain $(CURDIR)/cmake/windows-x86_64.toolchain.cmake \
	  -DCMAKE_PREFIX_PATH=$(abspath $(WINDOWS))/qt -DCMAKE_FIND_ROOT_PATH=$(abspath $(WINDOWS))/qt \
	  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$(shell dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake

deps-windows:
	@scripts/install-deps $(PACKAGES) $(WINDOWS_PACKAGES)

deps-windows-test:
	@scripts/install-deps $(PACKAGES) $(TEST_PACKAGES) $(WINDOWS_PACKAGES)

windows: deps-windows
	scripts/static-qt windows $(WINDOWS)/qt
	$(WINDOWS_CONFIGURE) $(if $(wildcard $(WINDOWS)/CMakeCache.txt),,-DBUILD_TESTING=OFF)
	cmake --build $(WINDOWS) -j $(JOBS)

# The Windows program played under Wine, in a private X server, from outside.
test-windows: deps-windows-test
	scripts/static-qt windows $(WINDOWS)/qt
	$(WINDOWS_CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(WINDOWS) -j $(JOBS)
	ctest --test-dir $(WINDOWS) --output-on-failure

clean:
	rm -rf $(BUILD) $(ASAN) $(WINDOWS) $(WEB)

# The game as a web page, built with Debian 13's emscripten against a static
# Qt for WebAssembly that scripts/static-qt makes once from Debian 13's own
# qt6-base source. On Debian 13 it is built here; elsewhere in a Debian 13
# chroot (scripts/in-debian) that works in this tree, so build-web/ lands
# here all the same. Like `run`, a new tree leaves the tests out.
WEB_SUITE = trixie
WEB_CONFIGURE = cmake -S . -B $(WEB) -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DVORARID_WERROR=ON \
	  --toolchain $(abspath $(WEB))/qt/lib/cmake/Qt6/qt.toolchain.cmake
# Qt looks for emscripten where static-qt shows it Debian's.
web test-web: export EMSDK = $(abspath $(WEB))/qt/emsdk

ifeq ($(shell . /etc/os-release && echo $$VERSION_CODENAME),$(WEB_SUITE))
web:
	@scripts/install-deps $(PACKAGES) $(WEB_PACKAGES)
	scripts/static-qt web $(WEB)/qt
	$(WEB_CONFIGURE) $(if $(wildcard $(WEB)/CMakeCache.txt),,-DBUILD_TESTING=OFF)
	cmake --build $(WEB) -j $(JOBS)

# The site played in Chromium, Firefox and WebKit, served here, from outside;
# the web tests' list holds what they take of the desktop tests' own.
test-web:
	@scripts/install-deps $(PACKAGES) $(WEB_PACKAGES) $(WEB_TEST_PACKAGES)
	scripts/static-qt web $(WEB)/qt
	$(WEB_CONFIGURE) -DBUILD_TESTING=ON
	cmake --build $(WEB) -j $(JOBS)
	ctest --test-dir $(WEB) --output-on-failure
else
web test-web:
	scripts/in-debian $(WEB_SUITE) --with $(WEB_PACKAGES) --with $(WEB_TEST_PACKAGES) --here -- make $@ WEB=$(WEB)
endif

# Serves the site as a static host does, compressed, on this machine only.
run-web: web
	python3 tools/serve-site $(WEB)/site --port $(WEB_PORT)
