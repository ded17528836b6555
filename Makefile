# Odolink: the front door. `make demo` runs the real job, `make test` runs the tests.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := ini soapreply labelmarkup
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
# ctest keeps only 1 KiB of a passed test's output unless told otherwise; the reports need it all.
CTEST_RECORD = -V --test-output-size-passed 8000000 --test-output-size-failed 8000000 --output-junit

PACKAGES := g++ cmake ninja-build make pkg-config \
	qt6-base-dev qt6-httpserver-dev qt6-websockets-dev qt6-qpa-plugins libgl-dev \
	libqt6sql6-sqlite libqt6sql6-odbc libsqlite3-dev sqlite3 unixodbc-dev \
	libssl3 openssl fonts-wine fonts-dejavu-core \
	xvfb xauth imagemagick python3-zeep curl \
	dpkg-dev file systemd clang libclang-rt-14-dev

.PHONY: all deps build test asan test-asan bench demo package format clean faults fuzz fuzz-build fuzz-check

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -z "$$missing" ]; then exit 0; fi; \
	if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:" $$missing; \
	    export DEBIAN_FRONTEND=noninteractive; \
	    apt-get update -qq && apt-get install -y -qq --no-install-recommends $$missing; \
	else \
	    echo "Missing packages. Run as root:"; \
	    echo "  apt-get install --no-install-recommends" $$missing; exit 1; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2 -LE 'bench|long'

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DODOLINK_SANITIZE=ON $(CMAKE_ARGS)

asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The same tests, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: asan
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2 -LE 'bench|slow'

# The figures go into BENCHMARKS.md, failed runs included.
bench: build
	status=0; (cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L bench \
	    $(CTEST_RECORD) bench.xml) || status=$$?; \
	python3 tools/report/measured.py bench $(BUILD)/bench.xml BENCHMARKS.md; exit $$status

# Every fault test, the long ones too; each case's result goes into RELIABILITY.md.
faults: build
	status=0; (cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L faults \
	    $(CTEST_RECORD) faults.xml) || status=$$?; \
	python3 tools/report/measured.py faults $(BUILD)/faults.xml RELIABILITY.md; exit $$status

# libFuzzer on the ini reader, the SOAP reply reader and the label markup, FUZZ_SECONDS each.
# Seeds come from fuzz/corpus/<target>; new inputs and crashes stay in $(FUZZ_BUILD).
$(FUZZ_BUILD)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DODOLINK_FUZZ=ON \
	    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
	    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" $(CMAKE_ARGS)

fuzz-build: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))

# CI: the targets build, and each reads every seed once without a fault.
fuzz-check: fuzz-build
	for t in $(FUZZ_TARGETS); do \
	    out=$$(QT_QPA_PLATFORM=offscreen $(FUZZ_BUILD)/bin/fuzz_$$t -runs=0 fuzz/corpus/$$t 2>&1) \
	        || { echo "$$out"; exit 1; }; \
	    echo "fuzz_$$t: $$(echo "$$out" | tail -n 1)"; \
	done

fuzz: fuzz-build
	status=0; mkdir -p $(FUZZ_BUILD)/logs; for t in $(FUZZ_TARGETS); do \
	    mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/crashes/$$t; \
	    echo "fuzz_$$t: $(FUZZ_SECONDS) s, output in $(FUZZ_BUILD)/logs/fuzz_$$t.log"; \
	    QT_QPA_PLATFORM=offscreen $(FUZZ_BUILD)/bin/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
	        -artifact_prefix=$(FUZZ_BUILD)/crashes/$$t/ $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t \
	        > $(FUZZ_BUILD)/logs/fuzz_$$t.log 2>&1 || status=1; \
	    tail -n 2 $(FUZZ_BUILD)/logs/fuzz_$$t.log; \
	done; \
	python3 tools/report/measured.py fuzz $(FUZZ_BUILD) RELIABILITY.md; exit $$status

demo: build
	bash tools/demo/run.sh $(BUILD)

# The Debian package, odolink_<version>_<arch>.deb in the build folder.
package: build
	cd $(BUILD) && cpack -G DEB

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
