// SPDX-License-Identifier: MIT
#include "language/CommandTable.h"

#include <cstring>
#include <string>

#include "platform/LineSink.h"

namespace zelk {
namespace {

constexpr unsigned char I = ARG_INTEGER;
constexpr unsigned char S = ARG_STRING;
constexpr unsigned char R = ARG_REAL;
constexpr unsigned char V = ARG_VECTOR;
constexpr unsigned char W = ARG_WORD;
constexpr signed char ENV = CATEGORY_ENVIRONMENT;
constexpr signed char LBL = CATEGORY_LABEL;
constexpr signed char STM = CATEGORY_STATEMENT;

constexpr CommandTable kTable = {{
    {"goto", '(', ')', {W}, STM,
     "goto(string x);\nWhere x is the label name\ngoto statements overwrite the instruction "
     "pointer IP.\n"},
    {"sv_color", 0, 0, {I}, ENV,
     "sv_color <int x>\nWhere x is the color intensity number\n'color' will set intensity of the "
     "green text.\n"},
    {"wait", '(', ')', {R}, STM,
     "wait(float x);\nWhere x is the number of seconds to wait before the next statement is "
     "executed.\n"},
    {"move_to", '(', ')', {S, V}, STM,
     "move_to(string x, vector y);\nWhere x is the targetname of the entity to be moved\nand y is "
     "the world x,y,z coordinate.\n"},
    {"sv_quake2_dir", '=', 0, {S}, ENV,
     "sv_quake2_dir = <string dir>;\nWhere x is the name of the directory where Quake2.exe "
     "resides.\n"},
    {"god", 0, 0, {}, ENV, "god\nGod mode [On/Off].\n"},
    {"map", 0, 0, {W}, ENV, "Map <string Mapname>\nMap to load upon Quake2 startup.\n"},
    {"cheats", 0, 0, {}, ENV, "cheats\nServer cheats [On/Off].\n"},
    {"disconnect", 0, 0, {}, ENV, "disconnect\nDisconnect from server upon Quake2 startup [On/Off].\n"},
    {"give_all", 0, 0, {}, ENV, "give_all\nGive All [On/Off].\n"},
    {"notarget", 0, 0, {}, ENV, "notarget\nNotarget [On/Off].\n"},
    {"sv_params", '=', 0, {S}, ENV, "sv_params <string x>;\nWhere x is the parameters string.\n"},
    {"game", 0, 0, {W}, ENV, "game <string x>\nWhere x is the game name.\n"},
    {"deathmatch", 0, 0, {I}, ENV, "deathmatch <int x>\nWhere x is the deathmatch value.\n"},
    {"video", 0, 0, {I}, ENV, "video <int x>\nWhere x is the video mode.\n"},
    {"sv_load_dir", '=', 0, {S}, ENV,
     "sv_load_dir = <string x>;\nWhere x is the name of the script loading directory.\n"},
    {"sv_save_dir", '=', 0, {S}, ENV,
     "sv_save_dir = <string x>;\nWhere x is the name of the script saving directory.\n"},
    {"compile", 0, 0, {W}, ENV, "compile <string x>\nWhere x is the script filename.\n"},
    {"say", '(', ')', {S, R, W}, STM, "say(string wavefile, float volume, string attenuation);\n"},
    {"walk", '(', ')', {W}, STM, "walk(string targetname);\n"},
    {"sv_editor", '=', 0, {S}, ENV,
     "sv_editor = <string x>;\nWhere x is the command line to the script editor.\n"},
    {"run", '(', ')', {W}, STM,
     "run(string targetname);\nActor will run to the destination in the map\nAll script code "
     "will be not be resumed until the actor\nreaches its destination.\n"},
    {"reserved", 0, 0, {}, STM, "TE(int effect);\n +++ RESERVED +++\n"},
    {"die", '(', ')', {I}, STM, "die(int damage);\n +++ RESERVED +++\n"},
    {"drop", '(', ')', {I, I}, STM, "drop(int field, int velocity);\n +++ RESERVED +++\n"},
    {"take", '(', ')', {S, W, R}, STM,
     "take(string targetname, string field, int amount);\n +++ RESERVED +++\n"},
    {"remove", '(', ')', {S}, STM, "remove(string targetname);\n +++ RESERVED +++\n"},
    {"hide", '(', ')', {S}, STM, "hide(string targetname);\n"},
    {"chase", '(', ')', {S}, STM, "chase(string targetname);\n +++ RESERVED +++\n"},
    {"on_block", '(', ')', {W, W, R}, STM,
     "on_block(string targetname, string labelname, float delay);\n"},
    {"on_use", '(', ')', {W, W}, STM,
     "on_use(string activator, string labelname);\nUse Intercept:\nThis intercept will be called "
     "when the actor is used by the target entity\ntargetname: activator (user)\nlabelname: label "
     "to call on intercept\nOnce this intercept is called, we have:\n.self = actor\n.activator = "
     "activator\nIP = current instruction before the branch\n"},
    {"action_target", '(', ')', {I, W}, STM,
     "action_target(int action, string targetname);\n +++ RESERVED +++\n"},
    {"hammer", '(', ')', {S, I}, STM, "hammer(string targetname, int damage);\n +++ RESERVED +++\n"},
    {"attack", '(', ')', {W, I}, STM, "attack(string targetname, int damage);\n +++ RESERVED +++\n"},
    {"spawn", '(', ')', {W, W, V, I}, STM,
     "spawn(string entity, string targetname, vec3_t origin, int spawnflags);\n +++ RESERVED "
     "+++\n"},
    {"start", '(', ')', {W}, STM, "start(string labelname);\n +++ RESERVED +++\n"},
    {"on_touch", '(', ')', {W, W, R}, STM,
     "on_touch(string targetname, string labelname, float delay);\nTouch Intercept:\nThis "
     "intercept will be called when the actor is touched by the target entity\nThe intercept will "
     "not be possible until all of the parameters are satisfied\ntargetname: "
     "activator\nlabelname: label to call on intercept\ndelay: frequency of intercept in "
     "seconds\nOnce this intercept is called, we have:\n.self = actor\n.activator = activator\nIP "
     "= current instruction before the branch\n"},
    {"on_see", '(', ')', {W, W, R, R}, STM,
     "on_see(string targetname, string labelname, float delay, float range);\nSee Intercept:\nThis "
     "intercept will be called when the actor sees the target entity\nThe intercept will not be "
     "possible until all of the parameters are satisfied\ntargetname: activator\nlabelname: label "
     "to call on intercept\ndelay: frequency of intercept in seconds\nrange: maximum distance from "
     "activator (range of sight of actor)\nOnce this intercept is called, we have:\n.self = "
     "actor\n.activator = activator\nIP = current instruction before the branch\n"},
    {"on_pain", '(', ')', {W, W, R, R}, STM,
     "on_pain(string targetname, string labelname, float delay, float range);\nPain "
     "Intercept:\nThis intercept will be called when the actor is hurt by the target entity\nThe "
     "intercept will not be possible until all of the parameters are satisfied\ntargetname: "
     "activator\nlabelname: label to call on intercept\ndelay: frequency of intercept in "
     "seconds\nrange: maximum distance from activator\nOnce this intercept is called, we "
     "have:\n.self = actor\n.activator = activator\nIP = current instruction before the branch\n"},
    {"label", '@', 0, {W}, LBL, "label@<string labelname>;\nLabel for a certain branch in code.\n"},
    {"return", 0, 0, {}, STM,
     "return;\nRestore Instruction Pointer (IP) before the intercept\nThe IP will be freed for "
     "future use by new intercepts.\n"},
    {"look_at", '(', ')', {W}, STM,
     "look_at(string targetname);\nActor is rotated to look at target entity.\n"},
    {"action", '(', ')', {I}, STM,
     "action(int actionnumber);\nActor will play the specified action (animation/sound)\nAction "
     "numbers for a certain entity are defined by the DLL.\n"},
    {"stand", 0, 0, {}, STM, "stand;\nActor will stand still.\n"},
    {"use", '(', ')', {W, W}, STM,
     "use(string targetname, string activator);\nactivator: <targetname> or .self or "
     ".activator\nActivator will use the target entity.\n"},
    {"chill", '(', ')', {R}, STM, "chill(float seconds);\n+++ RESERVED +++\n"},
    {"stop", 0, 0, {}, STM,
     "stop;\nKill script\nActor's script information is freed to memory in DLL.\n"},
    {"camera", '(', ')', {I, R}, STM,
     "camera(int camera_number, float fade);\nTrigger the camera with the matching camera_number, "
     "usually set\nby team_data field in the BSP.\nfade: gradual speed of fade in. 0.0 - 1.0\n"},
    {"script", 0, 0, {}, STM, "script;\nTurn on the scope vision (letterbox).\n"},
    {"run_slave", '(', ')', {W, W}, STM,
     "run_slave(string targetname, string destination);\nTarget entity will run to the "
     "destination in the map\nAll script code will be not be resumed until the target "
     "entity\nreaches its destination.\n"},
    {"target_camera", '(', ')', {W}, STM,
     "target_camera(string targetname);\nTrigger a camera that follows the target entity\nIf the "
     "target entity has an enemy, then the camera finds the best\nway to focus on both the target "
     "entity and its enemy.\n"},
    {"rotate_camera", '(', ')', {W, R}, STM,
     "rotate_camera(string targetname, float distance);\nTrigger the rotating camera around the "
     "target entity\ndistance: distance in map units from the target (radius)\nRotating cameras "
     "can clip into walls, so beware.\n"},
    {"rotate", '(', ')', {V}, STM,
     "rotate(vec3_t vector);\nActor entity's angles are set to the specified vector.\n"},
    {"rotate_slave", '(', ')', {W, V}, STM,
     "rotate_slave(string targetname, vec3_t vector);\nTarget entity's angles are set to the "
     "specified vector.\n"},
    {"look_at_slave", '(', ')', {W, W}, STM,
     "look_at_slave(string targetname, string destination);\nTarget entity is rotated to look at "
     "destination.\n"},
    {"action_slave", '(', ')', {W, I}, STM,
     "action_slave(string targetname, int action);\nSet target entity to play a certain action "
     "(animation/sound)\nAction numbers for a certain entity are defined by the DLL.\n"},
    {"stand_slave", '(', ')', {W}, STM,
     "stand_slave(string targetname);\nSet target entity to standing mode (No Enemy).\n"},
    {"say_slave", '(', ')', {W, S, R}, STM,
     "say_slave(string targetname, string wavefile, float volume);\nPlay the sound from the "
     "entity with matching targetname\nwavefile: .wav file of sound (rooted at sound)\nvolume: 0.0 "
     "- 1.0\nSee Quake2 technical specifications for more information.\n"},
    {"load_map", '(', ')', {W}, STM, "map(string mapname);\nLoad the specified BSP.\n"},
    {"stuffcmd", '(', ')', {S}, STM, "stuffcmd(string command);\nSend the command to the client console.\n"},
    {"listen", 0, 0, {}, STM,
     "listen;\nOverwrite the Instruction Pointer (IP) and listen to intercepts.\n"},
    {"credits", 0, 0, {}, STM, "credits;\nRoll the demo credits.\n"},
}};

constexpr bool NameIs(int index, std::string_view name) { return name == kTable[index].name; }
static_assert(NameIs(CMD_GOTO, "goto") && NameIs(CMD_SAY, "say") && NameIs(CMD_WALK, "walk") &&
                  NameIs(CMD_RUN, "run") && NameIs(CMD_ON_BLOCK, "on_block") &&
                  NameIs(CMD_ON_USE, "on_use") && NameIs(CMD_ACTION_TARGET, "action_target") &&
                  NameIs(CMD_ATTACK, "attack") && NameIs(CMD_SPAWN, "spawn") &&
                  NameIs(CMD_START, "start") && NameIs(CMD_ON_TOUCH, "on_touch") &&
                  NameIs(CMD_ON_SEE, "on_see") && NameIs(CMD_ON_PAIN, "on_pain") &&
                  NameIs(CMD_LOOK_AT, "look_at") && NameIs(CMD_USE, "use") &&
                  NameIs(CMD_SV_QUAKE2_DIR, "sv_quake2_dir") &&
                  NameIs(CMD_SV_PARAMS, "sv_params") && NameIs(CMD_SV_EDITOR, "sv_editor") &&
                  NameIs(CMD_LABEL, "label") && NameIs(CMD_RETURN, "return") &&
                  NameIs(CMD_STOP, "stop") && NameIs(CMD_LISTEN, "listen"),
              "the command codes name their entries");

static_assert(kTable[COMMAND_COUNT - 1].name != nullptr && kTable[COMMAND_COUNT].name == nullptr,
              "the table fills exactly slots 0 to 61");

// Lookup by first letter and length: every name starts with a lower-case letter and is at most
// 15 characters long, and the compiler looks up every line of a source twice, so a lookup
// compares the word with at most the few names of the same letter and length.
constexpr std::size_t kLongestName = 15;
constexpr std::size_t kSameLetterAndLength = 4;

struct Index {
  std::array<std::array<std::array<signed char, kSameLetterAndLength>, kLongestName + 1>, 26>
      byLetterAndLength{};
  constexpr Index() {
    for (auto& letter : byLetterAndLength) {
      for (auto& bucket : letter) bucket.fill(-1);
    }
    for (int i = 0; i < COMMAND_COUNT; ++i) {
      std::size_t length = 0;
      while (kTable[i].name[length] != '\0') ++length;
      auto& bucket = byLetterAndLength[static_cast<unsigned char>(kTable[i].name[0]) - 'a'][length];
      std::size_t k = 0;
      while (bucket[k] >= 0) ++k;  // a bucket that overflows fails the constant evaluation
      bucket[k] = static_cast<signed char>(i);
    }
  }
};
constexpr Index kIndex;

}  // namespace

const CommandTable& Commands() { return kTable; }

int FindCommand(std::string_view word) {
  if (word.empty() || word.size() > kLongestName || word[0] < 'a' || word[0] > 'z') return -1;
  for (const signed char i :
       kIndex.byLetterAndLength[static_cast<unsigned char>(word[0]) - 'a'][word.size()]) {
    if (i < 0) break;
    // A loop, not memcmp: the names are short, and a call costs more than comparing them.
    const char* name = kTable[i].name;
    std::size_t k = 1;  // the first letter chose the bucket
    while (k < word.size() && word[k] == name[k]) ++k;
    if (k == word.size()) return i;
  }
  return -1;
}

void PrintUsage(int index, LineSink& out) {
  if (index < 0 || index >= COMMAND_SLOTS || kTable[index].help == nullptr) return;
  out.PrintLine(">> USAGE <<");
  ForEachHelpLine(kTable[index].help, [&](std::string_view line) { out.PrintLine(line); });
}

std::string_view UsageLine(int index) {
  if (index < 0 || index >= COMMAND_SLOTS || kTable[index].help == nullptr) return {};
  std::string_view help = kTable[index].help;
  return help.substr(0, help.find('\n'));
}

}  // namespace zelk
