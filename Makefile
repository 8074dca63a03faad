# The two commands of the README, plus the benchmarks.
#   make run    builds what is missing and starts the demo program
#   make test   installs what is missing, builds (Debug, ASan+UBSan) and runs every test
#   make bench  builds the Release benchmarks and runs them

JOBS    ?= $(shell nproc)
DEBUG   := build/debug
RELEASE := build/release
FUZZ    := build/fuzz
BENCH   := build/bench

.PHONY: all run test bench setup build-debug build-release build-fuzz fuzz e2e clean

all: build-release

setup:
	@bash scripts/setup

$(RELEASE)/build.ninja:
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVB_BUILD_TESTS=OFF

build-release: setup $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS)

run: build-release
	@bash scripts/run-demo $(RELEASE)

$(DEBUG)/build.ninja:
	cmake -S . -B $(DEBUG) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVB_SANITIZE=ON -DKVB_BUILD_TESTS=ON

build-debug: setup $(DEBUG)/build.ninja
	cmake --build $(DEBUG) -j $(JOBS)

$(FUZZ)/build.ninja:
	CXX=clang++ cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVB_BUILD_FUZZ=ON \
	  -DKVB_BUILD_TESTS=OFF -DKVB_BUILD_QT=OFF

# Only the fuzz programs and what they link: the rest of the tree is built by build-debug.
build-fuzz: setup $(FUZZ)/build.ninja
	cmake --build $(FUZZ) -j $(JOBS) --target $$(ninja -C $(FUZZ) -t targets all | grep -o '^fuzz_[a-z_0-9]*' | sort -u)

fuzz: build-fuzz
	@bash scripts/fuzz $(FUZZ)

e2e: build-debug
	@bash scripts/e2e $(DEBUG)

test: build-debug
	cd $(DEBUG) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory fuzz
	@$(MAKE) --no-print-directory e2e

$(BENCH)/build.ninja:
	cmake -S . -B $(BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVB_BUILD_TESTS=ON -DKVB_BUILD_BENCH=ON

bench: setup $(BENCH)/build.ninja
	cmake --build $(BENCH) -j $(JOBS)
	@bash scripts/bench $(BENCH)

clean:
	rm -rf build
