// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <random>
#include <string>

#include "language/CommandTable.h"

namespace zelk::bench {

// A scene script of the given number of statements that mixes every script statement of the
// language with labels, branches, intercepts and comments, as authors write them. Branches and
// intercepts name labels above them, or, with forwardBranches, any label of the script, most of
// them further down.
inline std::string GenerateSource(int statements, unsigned seed = 1, bool forwardBranches = false) {
  std::mt19937 random(seed);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::string source = "// generated scene\nlabel@l0;\n";
  int labels = 1;
  const int allLabels = 1 + std::min(99, statements / 2000);
  int kind = 0;
  for (int i = 0; i < statements; ++i) {
    if (i % 2000 == 1999 && labels < 100) source += "label@l" + std::to_string(labels++) + ";\n";
    // Every script statement in turn.
    while (Commands()[kind % COMMAND_COUNT].category != CATEGORY_STATEMENT) ++kind;
    const std::string word = Commands()[kind++ % COMMAND_COUNT].name;
    const std::string n = std::to_string(pick(90));
    const std::string label = "l" + std::to_string(pick(forwardBranches ? allLabels : labels));
    if (word == "goto" || word == "start") {
      source += word + "(" + label + ");";
    } else if (word == "wait" || word == "chill") {
      source += word + "(" + std::to_string(pick(5)) + ".5);";
    } else if (word == "move_to") {
      source += "move_to(\"door" + n + "\", <128, -64.5, 24>);";
    } else if (word == "say") {
      source += "say(\"scout/line" + n + ".wav\", 0.8, attn_norm);";
    } else if (word == "walk" || word == "run" || word == "look_at" || word == "stand_slave" ||
               word == "target_camera" || word == "load_map") {
      source += word + "(path" + n + ");";
    } else if (word == "die" || word == "action") {
      source += word + "(" + n + ");";
    } else if (word == "drop") {
      source += "drop(1, " + n + ");";
    } else if (word == "take") {
      source += "take(\"chest" + n + "\", shells, 25);";
    } else if (word == "remove" || word == "hide" || word == "chase" || word == "stuffcmd") {
      source += word + "(\"target " + n + "\");";
    } else if (word == "on_block" || word == "on_touch") {
      source += word + "(.client, " + label + ", 1.5);";
    } else if (word == "on_see" || word == "on_pain") {
      source += word + "(guard" + n + ", " + label + ", 1, 512);";
    } else if (word == "on_use") {
      source += "on_use(player" + n + ", " + label + ");";
    } else if (word == "action_target") {
      source += "action_target(2, .activator);";
    } else if (word == "hammer") {
      source += "hammer(\"button" + n + "\", 50);";
    } else if (word == "attack") {
      source += "attack(.activator, 20);";
    } else if (word == "spawn") {
      source += "spawn(monster_soldier, guard" + n + ", <1, 2, 3>, 1);";
    } else if (word == "use" || word == "run_slave" || word == "look_at_slave") {
      source += word + "(door" + n + ", .self);";
    } else if (word == "camera") {
      source += "camera(2, 0.25);";
    } else if (word == "rotate_camera") {
      source += "rotate_camera(scout, 128.0);";
    } else if (word == "rotate") {
      source += "rotate(<0, 90, 0>);";
    } else if (word == "rotate_slave") {
      source += "rotate_slave(crate" + n + ", <0, 180.5, 0>);";
    } else if (word == "action_slave") {
      source += "action_slave(guard" + n + ", 7);";
    } else if (word == "say_slave") {
      source += "say_slave(npc" + n + ", \"voice/hi.wav\", 1);";
    } else {
      source += word + ";";  // the statements without arguments
    }
    source += pick(10) == 0 ? "   // a remark\n" : "\n";
  }
  return source;
}

}  // namespace zelk::bench
