# The two commands a newcomer needs: `make run` and `make test`.
# Both install the Debian packages they need when they are missing: `run`
# what building and playing need, `test` what the tests add on top.
BUILD   ?= build
ASAN    ?= build-asan
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
PACKAGES      = scripts/debian-packages.txt
TEST_PACKAGES = scripts/debian-packages-test.txt

.PHONY: run test deps deps-test build build-asan test-fast test-asan clean

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

clean:
	rm -rf $(BUILD) $(ASAN)
