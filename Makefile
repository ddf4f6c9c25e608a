# Skyscuffle: the two commands a newcomer needs are `make play` and `make test`.
# Both install what is missing first (Debian packages, through sudo when not root).

RELEASE_DIR := build/release
TEST_DIR    := build/test
ASAN_DIR    := build/asan
FUZZ_DIR    := build/fuzz
PACKAGE_DIR := build/package
JOBS        ?= $(shell nproc)
# NET=lan plays on the real network so that copies on other machines can join;
# by default the game runs in a private network namespace (scripts/isolated-net).
NET         ?= isolated

FUZZ_SECONDS ?= 60
# make install: where the game goes (bin/, share/skyscuffle/, ...).
PREFIX      ?= /usr/local

# make mutate: the mutation check's own build, and an optional grep -E
# pattern (ONLY=...) that picks lines of the two lists: tools/mutate/mutants.txt
# and tools/mutate/mutants-blind.txt (written from the code alone, without
# reading the tests).
MUTATE_DIR  ?= build/mutate
ONLY        ?=

.PHONY: play test deps release install package sanitize bench fuzz mutate format clean assets gallery screenshots pot

deps:
	@scripts/install-deps

release: deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKYSCUFFLE_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

play: release
ifeq ($(NET),lan)
	$(RELEASE_DIR)/game/skyscuffle
else
	scripts/isolated-net $(RELEASE_DIR)/game/skyscuffle
endif

# Extracts every text a player reads into po/skyscuffle.pot and merges it
# into each language's catalog (new texts come in untranslated).
pot: deps
	tools/translations/extract.sh

# Installs the Release build under PREFIX: the program, its data, the desktop
# entry, icons, metainfo and man page.
install: release
	cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

# The Debian package, in $(PACKAGE_DIR)/: a Release build of its own, with the
# program in /usr/games as Debian has games.
package:
	@scripts/install-deps --package
	cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKYSCUFFLE_TESTS=OFF \
	  -DSKYSCUFFLE_INSTALL_BINDIR=games
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	cd $(PACKAGE_DIR) && cpack -G DEB

# The suite's build keeps line tables only (-g1): failures and sanitizer
# reports still name file and line, and the build takes a fifth less time.
# -O1 costs the build next to nothing and the tests' own runs a quarter less.
test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g1 -O1"
	cmake --build $(TEST_DIR) -j $(JOBS)
	scripts/run-tests $(TEST_DIR)

# The test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSKYSCUFFLE_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	scripts/run-tests $(ASAN_DIR)

# Benchmarks of the Release build; run by hand, not by CI.
bench: release
	$(RELEASE_DIR)/tools/benchmarks/core_benchmark
	$(RELEASE_DIR)/tools/benchmarks/physics_benchmark
	$(RELEASE_DIR)/tools/benchmarks/network_benchmark
	$(RELEASE_DIR)/tools/benchmarks/gameplay_benchmark
	scripts/isolated-net xvfb-run -a -s "-screen 0 1280x1024x24" $(RELEASE_DIR)/tools/benchmarks/resource_load_measure
	scripts/isolated-net xvfb-run -a -s "-screen 0 1280x1024x24" $(RELEASE_DIR)/tools/benchmarks/render_measure
	tools/benchmarks/startup.sh 5 5
	MODES="" tools/benchmarks/match_frames.sh 1 30 1 800x600
	MODES="" tools/benchmarks/match_frames.sh 1 30 1 1280x720
	MODES="" tools/benchmarks/match_frames.sh 1 30 1 1920x1080
	tools/netfault/view_table.sh $(RELEASE_DIR) 30 1

# Applies each mutant of tools/mutate/mutants.txt alone, rebuilds and runs the
# tests against it, and reports which the suite caught. Slow: run by hand. Its
# build compiles file by file, so that a mutant rebuilds one file.
mutate: deps
	cmake -S . -B $(MUTATE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DSKYSCUFFLE_UNITY=OFF
	JOBS=$(JOBS) tools/mutate/mutate.sh $(MUTATE_DIR) '$(ONLY)'
	JOBS=$(JOBS) MUTANTS=tools/mutate/mutants-blind.txt tools/mutate/mutate.sh $(MUTATE_DIR) '$(ONLY)'

# Builds the libFuzzer harnesses with clang and runs each for FUZZ_SECONDS,
# keeping its corpus in build/fuzz/corpus/<name>.
fuzz:
	@scripts/install-deps --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSKYSCUFFLE_FUZZ=ON -DSKYSCUFFLE_TESTS=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers
	scripts/run-fuzzers $(FUZZ_DIR) $(FUZZ_SECONDS)

# Regenerates the game's art (models, textures, sprites, the mascot) from the
# generators in tools/art; their Debian packages come through install-deps --art.
# The output is committed: the game's own build never needs these tools.
assets:
	@scripts/install-deps --art
	/usr/bin/python3 tools/art/make_assets.py assets
	/usr/bin/python3 tools/art/icons.py packaging/icons

# Contact sheets of the art drawn by the engine with the game's shaders and
# lights (every model, sprite and image, the stage from the game camera, the
# HUD and the menus), written to build/gallery/.
gallery: deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKYSCUFFLE_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target art_gallery
	scripts/isolated-net xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" $(RELEASE_DIR)/tools/gallery/art_gallery build/gallery

# The README's screenshots: the Release game driven through its screens by the
# flow test under a virtual display (800 x 600); every screen's picture lands
# in build/screenshots/, the README's in docs/.
screenshots: release
	scripts/isolated-net xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
	  tests/game/screens/flow_test.sh $(RELEASE_DIR)/game/skyscuffle build/screenshots
	mkdir -p docs
	cp build/screenshots/main-menu.png build/screenshots/join-screen.png build/screenshots/loading.png \
	  build/screenshots/match.png build/screenshots/win-screen.png docs/
	cp build/screenshots/replays-screen.png docs/replays.png
	cp build/screenshots/replay-playing.png docs/replay.png
	scripts/isolated-net xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
	  tests/game/screens/options_flow_test.sh $(RELEASE_DIR)/game/skyscuffle build/screenshots/options
	cp build/screenshots/options/options.png build/screenshots/options/keys.png docs/

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
