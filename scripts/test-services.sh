# Sourced by scripts/test.sh: starts and stops what the tests need.
# shellcheck shell=bash

StartTestServices() {
  :
}

StopTestServices() {
  :
}
