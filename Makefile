# The two commands a newcomer needs: `make run` and `make test`.
# Both install the Debian packages the build needs when they are missing.
BUILD   ?= build
ASAN    ?= build-asan
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test deps build build-asan test-fast test-asan clean

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DVORARID_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/vorarid

# The whole suite: the normal build, then the same tests built with sanitizers.
test: test-fast test-asan

test-fast: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVORARID_SANITIZE=ON -DVORARID_WERROR=ON
	cmake --build $(ASAN) -j $(JOBS)

# Leak detection stays on; the suppression file names anything that is not ours.
test-asan: build-asan
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS) -L sanitize

clean:
	rm -rf $(BUILD) $(ASAN)
