#!/usr/bin/env bash
# The browser tests: builds the site (scripts/build_web.sh) and the game's
# native twin that the screen walk compares with (web_mask_frames, in the
# normal build), then runs tests/web/test_*.py one by one in Debian's
# headless Chromium, driven by Selenium, each serving the site on 127.0.0.1.
#   bash scripts/test_web.sh            every browser test
#   bash scripts/test_web.sh --smoke    the web build and the smoke test only:
#                                       the title, one click, Escape
#   bash scripts/test_web.sh [--no-build] NAME...
#                                       the named tests (test_screens, smoke_test)
#                                       on the site already built
# Chromium runs them all; test_firefox runs Firefox ESR through puppeteer-core
# (installed with npm from tests/web/firefox/package-lock.json).
# DUNMARK_WEB_BUILD_DIR (default build-web) and DUNMARK_BUILD_DIR (default
# build) choose the two build folders.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
export DUNMARK_BUILD_DIR=${DUNMARK_BUILD_DIR:-$top/build}
export DUNMARK_WEB_BUILD_DIR=${DUNMARK_WEB_BUILD_DIR:-$top/build-web}
build=1
names=()
case "${1:-}" in
  --smoke) names=(smoke_test); shift ;;
  --no-build) build=0; shift ;;
esac
names+=("$@")
if ((${#names[@]} == 0)); then
  for test in "$top"/tests/web/test_*.py "$top"/tests/web/smoke_test.py; do
    names+=("$(basename "$test" .py)")
  done
fi
for name in "${names[@]}"; do
  [[ -f "$top/tests/web/$name.py" ]] || { echo "test_web: no test tests/web/$name.py" >&2; exit 2; }
done

if ((build)); then
  bash "$here/build_web.sh"
  bash "$here/install_packages.sh" "$here/packages-web-test.txt"
  # The rest needs the test set-up (ImageMagick, lame) and the screen walk's
  # native twin; the smoke test does without them.
  if [[ "${names[*]}" != smoke_test ]]; then
    bash "$here/install_packages.sh" "$here/packages-test.txt"
    if [[ ! -f "$DUNMARK_BUILD_DIR/CMakeCache.txt" ]]; then
      bash "$here/setup.sh" --tests
    fi
    cmake --build "$DUNMARK_BUILD_DIR" --target web_mask_frames -j"$(nproc)"
  fi
  # The second engine and its driver, as the lock file names it.
  if [[ " ${names[*]} " == *" test_firefox "* ]]; then
    bash "$here/install_packages.sh" "$here/packages-web-firefox.txt"
    command -v npm >/dev/null || bash "$here/install_packages.sh" npm
    mkdir -p "$DUNMARK_BUILD_DIR/web-firefox"
    cp "$top"/tests/web/firefox/package.json "$top"/tests/web/firefox/package-lock.json \
      "$DUNMARK_BUILD_DIR/web-firefox/"
    (cd "$DUNMARK_BUILD_DIR/web-firefox" && npm ci --no-audit --no-fund --loglevel=error)
  fi
elif [[ ! -f "$DUNMARK_WEB_BUILD_DIR/site/index.html" ]]; then
  echo "test_web: no site in $DUNMARK_WEB_BUILD_DIR/site: run scripts/build_web.sh" >&2
  exit 77
fi

# Debian's Python with Debian's Selenium, whatever python3 comes first on PATH.
failed=()
start=$SECONDS
for name in "${names[@]}"; do
  echo "== web.$name"
  if ! /usr/bin/python3 "$top/tests/web/$name.py" "$DUNMARK_WEB_BUILD_DIR/site"; then
    failed+=("$name")
  fi
done
echo "test_web: ${#names[@]} browser tests in $((SECONDS - start)) s"
if ((${#failed[@]})); then
  echo "test_web: FAILED: ${failed[*]}"
  exit 1
fi
echo "test_web: all passed"
