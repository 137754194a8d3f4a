# The two commands of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
# Warnings as errors: off for a build at home, on in CI (`make test WERROR=ON`).
WERROR ?= OFF
DEBS = cmake g++ make qt6-base-dev fonts-dejavu-core fonts-freefont-ttf qt6-gtk-platformtheme clang-format python3-aiosmtpd libxcb1-dev xvfb openbox trayer
SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build test run bench clean format format-check test-sanitize fuzz

deps:
	@missing=""; for p in $(DEBS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX3_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	$(BUILD)/QX3

bench: build
	$(BUILD)/bench/qx3bench
	$(BUILD)/bench/qx3helpbench
	$(BUILD)/bench/floodbench
	$(BUILD)/bench/xferbench
	$(BUILD)/bench/meshbench
	$(BUILD)/bench/listbench
	$(BUILD)/bench/updatebench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

# The root .clang-format is the formatting authority; CI runs the check.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')

format: deps
	@clang-format -i $(FORMAT_FILES)

format-check: deps
	@clang-format --dry-run -Werror $(FORMAT_FILES)

# The sanitizers and the fuzzer come with clang, whose reports can all be sent to files.
SAN_DEBS = clang libclang-rt-14-dev

# The whole project and its suite under AddressSanitizer and UBSan. Every report is written to
# a file, and any file fails the run: a report from a program a test starts fails it too.
ASAN_BUILD ?= build-asan
ASAN_REPORTS = $(CURDIR)/$(ASAN_BUILD)/reports
test-sanitize:
	$(MAKE) deps DEBS="$(DEBS) $(SAN_DEBS)"
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DQX3_SANITIZE=ON -DQX3_WERROR=$(WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	rm -rf $(ASAN_REPORTS) && mkdir -p $(ASAN_REPORTS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:log_path=$(ASAN_REPORTS)/asan \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:log_path=$(ASAN_REPORTS)/ubsan \
	  ctest --output-on-failure -j $(JOBS); rc=$$?; \
	  if [ -n "$$(ls -A $(ASAN_REPORTS))" ]; then cat $(ASAN_REPORTS)/*; echo "Sanitizer reports above."; exit 1; fi; \
	  exit $$rc

# libFuzzer harnesses (fuzz/), each run for FUZZ_SECONDS, all at once.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
FUZZ_NICE ?= 0
fuzz:
	$(MAKE) deps DEBS="$(DEBS) $(SAN_DEBS)"
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX3_FUZZ=ON -DQX3_WERROR=$(WERROR)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target qx3fuzzers
	fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_NICE)
