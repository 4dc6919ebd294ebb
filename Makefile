# A thin front over CMake. `make run` and `make test` set up everything they need.
BUILD ?= build
PKGS = cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libsqlite3-dev \
       fonts-ipafont-mincho fonts-ipafont-gothic fonts-ipaexfont-mincho fonts-ipaexfont-gothic \
       qt6-translations-l10n libpng-dev poppler-utils xvfb xauth clang libclang-rt-14-dev \
       dpkg-dev desktop-file-utils appstream librsvg2-bin lintian \
       postgresql libpq-dev pkg-config
SUDO = $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
JOBS ?= 2
# The libFuzzer targets: `make fuzz` runs each for FUZZ_SECONDS, `make test` for FUZZ_SHORT.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_SHORT ?= 20
# `make install` puts the program and its files under PREFIX; `make package` leaves the .deb in DIST.
PREFIX ?= /usr/local
DIST ?= dist

.PHONY: deps build data run test sanitize bench clean fuzz-build fuzz install package screenshots

deps:
	@missing=$$(for p in $(PKGS); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)
	@$(MAKE) --no-print-directory data

# The delivered database files go into the data folder only when they are not there yet.
data:
	$(BUILD)/vornisa_mkdb src/store/main_schema.sql src/store/work_schema.sql $(BUILD)/data

run: build
	$(BUILD)/vornisa

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_SHORT)

# Warnings as errors, AddressSanitizer and UBSan, every test once.
sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORNISA_WERROR=ON -DVORNISA_SANITIZE=ON
	cmake --build build-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

# clang with -fsanitize=fuzzer, apart from the main build.
fuzz-build: deps
	CXX=clang++ cmake -S tests/reliability/fuzz/libfuzzer -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_dialect fuzz_numbers

fuzz: fuzz-build
	tests/reliability/fuzz/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The server section runs against a throwaway PostgreSQL server, stopped afterwards whatever happens.
bench: build
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	tools/pg-test-cluster start $(BUILD)/pg-bench-server
	VORNISA_TEST_PG=$(abspath $(BUILD))/pg-bench-server QT_QPA_PLATFORM=offscreen $(BUILD)/vornisa_bench; \
	  status=$$?; tools/pg-test-cluster stop $(BUILD)/pg-bench-server; exit $$status

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The package is staged in DIST, outside the build folder, which keeps one program.
package: build
	cpack --config $(BUILD)/CPackConfig.cmake -B $(abspath $(DIST))
	@ls $(DIST)/*.deb

# The user guide's pictures of the real window; commit them with the change that altered it.
screenshots: build
	cmake --build $(BUILD) -j $(JOBS) --target vornisa_screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD)/vornisa_screenshots docs/guide/images

clean:
	rm -rf $(BUILD) build-sanitize $(FUZZ_BUILD) $(DIST)
