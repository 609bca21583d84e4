# The two commands of the README, and a few conveniences for developers.
.PHONY: test run bench build dist clean

test:
	scripts/test.sh

run:
	scripts/run.sh

bench:
	scripts/bench.sh

build:
	scripts/build.sh

# Installers and portable zips for Windows users, with SHA256SUMS, in dist/.
dist:
	scripts/dist.sh

clean:
	rm -rf build dist
