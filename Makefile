# The two commands of the README, and a few conveniences for developers.
.PHONY: test run bench build clean

test:
	scripts/test.sh

run:
	scripts/run.sh

bench:
	scripts/bench.sh

build:
	scripts/build.sh

clean:
	rm -rf build
