# Two commands for a newcomer: `make run` and `make test`. Both first install
# what is missing (Debian packages), then build with CMake into build/.

BUILD := build
JOBS  := $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 600

.PHONY: run test build setup package clean fuzz bench sanitized-test thread-test mutants

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# The game starts in its program folder, beside the figures and help pages.
run: build
	@cd $(BUILD)/bin && ./murlen

# Every test headless; the Debian package built and checked as a user gets it;
# every test again under AddressSanitizer and UndefinedBehaviorSanitizer; the
# layers without widgets under ThreadSanitizer; then a short run of each fuzz
# target.
test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory package >build-deb.log 2>&1 || { tail -n 40 build-deb.log; exit 1; }
	@bash tests/check_package.sh dist/murlen_*.deb .
	@$(MAKE) --no-print-directory sanitized-test
	@$(MAKE) --no-print-directory thread-test
	@bash scripts/fuzz.sh 20

sanitized-test: setup
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMURLEN_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

# The tests of model/ and files/, whose libraries know no widgets but write
# from threads of their own, under ThreadSanitizer; only those two tests are
# built. Qt itself is not built for it: tests/tsan.supp says what that costs.
# setarch -R runs them without address randomisation, which ThreadSanitizer
# of GCC 12 cannot map its memory around on kernels that randomise more bits.
thread-test: setup
	@cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target test_model test_files
	@cd build-tsan && TSAN_OPTIONS=halt_on_error=1:suppressions=$(CURDIR)/tests/tsan.supp \
	  setarch "$$(uname -m)" -R ctest --output-on-failure -j $(JOBS) -R '^(model|files)$$'

# Each fuzz target for FUZZ_SECONDS seconds (make fuzz FUZZ_SECONDS=60).
fuzz: setup
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

# The mutation check, not part of make test: each fault of scripts/mutants.txt
# in turn, built in build-mutants/ and run against every test. A few of them:
# make mutants MUTANTS="3 7 12-15" (numbers, ranges or words of the list).
mutants: setup
	@MUTANTS_JOBS=$(JOBS) bash scripts/mutants.sh $(MUTANTS)

bench: build
	@for ratio in 1 2; do echo "== drawing_bench --ratio $$ratio"; \
	  QT_QPA_PLATFORM=offscreen $(BUILD)/bench/drawing_bench --ratio $$ratio; done
	@echo "== solver_bench"; $(BUILD)/bench/solver_bench
	@echo "== random_figure_bench"; $(BUILD)/bench/random_figure_bench

# The Debian package dist/murlen_VERSION_ARCH.deb, built by Debian's own tools
# from a copy of the source in build-deb/, where dpkg-buildpackage also leaves
# its other files. Install it with: sudo apt install ./dist/murlen_*.deb
package: setup
	@rm -rf build-deb && mkdir -p build-deb/murlen dist
	@tar -cf - --exclude=./build --exclude='./build-*' --exclude=./dist --exclude=./.git . | tar -xf - -C build-deb/murlen
	@cd build-deb/murlen && DEB_BUILD_OPTIONS="parallel=$(JOBS)" dpkg-buildpackage -us -uc -b
	@rm -f dist/murlen_*.deb && cp build-deb/murlen_*.deb dist/
	@ls dist/murlen_*.deb

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz build-mutants build-deb dist
