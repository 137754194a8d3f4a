# The two commands of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
DEBS = cmake g++ make qt6-base-dev fonts-dejavu-core fonts-freefont-ttf clang-format python3-aiosmtpd
SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build test run bench clean format format-check

deps:
	@missing=""; for p in $(DEBS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	$(BUILD)/QX3

bench: build
	$(BUILD)/bench/qx3bench

clean:
	rm -rf $(BUILD)

# The root .clang-format is the formatting authority; CI runs the check.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')

format: deps
	@clang-format -i $(FORMAT_FILES)

format-check: deps
	@clang-format --dry-run -Werror $(FORMAT_FILES)
