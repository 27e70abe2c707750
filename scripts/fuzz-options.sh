# SPDX-License-Identifier: MIT
# What run-fuzzers.sh and fuzz-campaign.sh give each harness beyond its corpus (sourced by both).
#
#   fuzz_options BUILD_DIR HARNESS    prints the options, one a word

fuzz_options() {
  local build=$1 name=$2
  # The dictionary written from the command table (fuzz/FuzzDictionary.cpp).
  if [ -f "$build/fuzz/dict/$name.dict" ]; then echo "-dict=$build/fuzz/dict/$name.dict"; fi
  # The longest input worth trying: longer ones only repeat what shorter ones hold, and each
  # takes longer to run.
  case $name in
    ParseStatementFuzzer) echo -max_len=256 ;;   # one line: the first 255 bytes
    ConsoleFuzzer) echo -max_len=512 ;;          # two screens of typing, a full line, a scroll
    HostPathFuzzer) echo -max_len=1024 ;;        # paths past the long-path limit
    # Sources: room for 101 labels or on_use users, one more than a script may hold.
    CompileFuzzer | FlowFuzzer | FormatFuzzer) echo -max_len=3072 ;;
    OptionsFileFuzzer) echo -max_len=2304 ;;     # the spelling byte, the 1828-byte file, more
  esac
  # The options file reaches all its coverage (about a thousand features) from its seeds: the
  # rare-feature bookkeeping of the entropic schedule then finds nothing more and takes half of
  # each input's time (5,400 inputs a second with it, 13,000 without, the same coverage).
  case $name in
    OptionsFileFuzzer) echo -entropic=0 ;;
  esac
}
