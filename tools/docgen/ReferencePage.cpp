// SPDX-License-Identifier: MIT
#include "docgen/ReferencePage.h"

#include "docgen/LanguageSyntax.h"
#include "platform/Cp1252.h"

namespace zelk::docgen {
namespace {

// The fixed part of the page: styles and the rules that hold for every statement line.
constexpr const char* kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="zelk-docgen">
<title>ZelkScript language reference</title>
<style>
body { background: #000; color: #d8d8d8; font-family: sans-serif; line-height: 1.45;
       max-width: 56em; margin: 0 auto; padding: 1em 1.5em 4em; }
h1, h2, h3 { color: #00aa00; font-weight: bold; }
h3 { font-family: monospace; font-size: 1.25em; margin-bottom: 0.3em; }
a { color: #5fd75f; }
code, pre { font-family: monospace; color: #00d000; }
pre { background: #0c160c; border-left: 3px solid #00aa00; padding: 0.4em 0.8em; overflow-x: auto; }
table { border-collapse: collapse; }
th, td { text-align: left; vertical-align: top; padding: 0.2em 0.8em 0.2em 0; }
th { color: #00aa00; border-bottom: 1px solid #00aa00; }
section.entry { border-top: 1px solid #1e3a1e; margin-top: 1.2em; }
p.facts { color: #9a9a9a; margin-top: 0; }
</style>
</head>
<body>
)";

constexpr const char* kRules = R"(<h2 id="lines">Statement lines</h2>
<p>A script source file (<code>.scr</code>) is plain text with one statement on each line. Lines
end with a line feed; a last line without one is not read. A line holds at most 255 characters
(the rest of a longer line is dropped), a tab counts as a space, and text is in the Windows-1252
character set. The console reads every typed line by the same rules.</p>
<ul>
<li><strong>Comments</strong>: <code>//</code> outside double quotes starts a comment that runs to
the end of the line. Blank lines and lines holding only a comment are skipped, but they count for
the line numbers in error messages.</li>
<li><strong>Command word</strong>: every line begins with the word of a command or statement from
the tables below, in lower case. The console lower-cases typed text outside double quotes; in a
source file a capital letter is an error (<code>Goto(start);</code> is not a statement).</li>
<li><strong>Punctuation</strong>: arguments are separated by <code>,</code>. Spaces may stand
around every delimiter.</li>
<li><strong>Semicolons</strong>: a statement with an opening delimiter, <code>(</code>,
<code>=</code> or <code>@</code>, ends with <code>;</code>. Whatever follows the <code>;</code> is
ignored. A command without an opening delimiter (<code>god</code>, <code>map base1</code>) needs no
<code>;</code> and ignores whatever follows its last argument.</li>
<li><strong>Errors</strong>: an unknown word gives &ldquo;Bad instruction or system data&rdquo;, a
known word with the wrong punctuation or arguments prints its usage (the help text below), and a
missing <code>;</code> gives &ldquo;No EOL in current statement. Use semicolon.&rdquo; The first
error stops a compile.</li>
</ul>

<h2 id="kinds">Argument kinds</h2>
<table>
<tr><th>Kind</th><th>Written as</th><th>Examples</th></tr>
<tr><td>integer</td><td>an optional <code>+</code> or <code>-</code> and one or more decimal
digits</td><td><code>170</code>, <code>-7</code>, <code>+5</code></td></tr>
<tr><td>real</td><td>an optional sign, decimal digits, optionally <code>.</code> and more digits;
there is no exponent, and an empty real reads as 0</td><td><code>1.5</code>, <code>.5</code>,
<code>5.</code>, <code>-0.25</code></td></tr>
<tr><td>quoted string</td><td>any characters between two double quotes, case kept; a string
cannot hold a double quote. In a compiled statement <code>\n</code> becomes a line
break</td><td><code>"misc/talk1.wav"</code>, <code>"c:\quake2"</code></td></tr>
<tr><td>word</td><td>a bare name of the characters <code>a-z</code>, <code>0-9</code>,
<code>-</code>, <code>_</code> and <code>.</code>: no capitals, no spaces; it may begin with a
digit or a full stop</td><td><code>guard1</code>, <code>base1</code>, <code>.self</code></td></tr>
<tr><td>vector</td><td>an opening <code>&lt;</code>, three reals separated by <code>,</code>, and
a closing <code>&gt;</code></td><td><code>&lt;0, 90, 0&gt;</code>, <code>&lt;-128, 64,
24.5&gt;</code></td></tr>
</table>

<h2 id="labels">Labels</h2>
<p><code>label@name;</code> marks the script statement that follows it. Branches
(<code>goto</code>) and intercepts (<code>on_use</code>, <code>on_touch</code>, <code>on_see</code>,
<code>on_pain</code>, <code>on_block</code>) name a label as a word; a label after the last
statement marks the end of the script. A script holds at most 100 labels.</p>

<h2 id="pseudo-targets">Pseudo-targets</h2>
<p>Where a statement names an entity, these words stand for entities that have no target name of
their own; the compiler stores them as codes.</p>
<table>
<tr><th>Word</th><th>Stands for</th></tr>
<tr><td><code>.self</code></td><td>the actor that runs the script (the activator of
<code>use</code>)</td></tr>
<tr><td><code>.activator</code></td><td>the entity that set off the current intercept
(<code>attack</code>, <code>look_at</code>, <code>run</code>, <code>walk</code>, <code>use</code>,
<code>action_target</code>)</td></tr>
<tr><td><code>.client</code></td><td>the player, as the activator of <code>on_block</code>,
<code>on_touch</code>, <code>on_see</code> and <code>on_pain</code></td></tr>
<tr><td><code>.none</code></td><td>nobody: any entity as the activator of an intercept, no target
name for <code>spawn</code>; as the label of <code>on_use</code> it removes that user's
intercept</td></tr>
</table>

<h2 id="attenuation">Attenuation words</h2>
<p>The third argument of <code>say</code> says how fast the sound fades with distance.</p>
<table>
<tr><th>Word</th><th>Code</th><th>Sound</th></tr>
<tr><td><code>attn_none</code></td><td>0</td><td>heard at full volume everywhere</td></tr>
<tr><td><code>attn_norm</code></td><td>1</td><td>normal fading</td></tr>
<tr><td><code>attn_idle</code></td><td>2</td><td>fades faster, for idle sounds</td></tr>
<tr><td><code>attn_static</code></td><td>3</td><td>fades fastest, for sounds of the
surroundings</td></tr>
</table>

<h2 id="categories">Categories</h2>
<table>
<tr><th>Category</th><th>What a line of it does</th></tr>
<tr><td>environment command</td><td>carried out at once, whether typed at the console or met in a
source file being compiled: it changes a setting of Zelk or starts a compile</td></tr>
<tr><td>label</td><td>marks a branch target in a source file; at the console it does
nothing</td></tr>
<tr><td>script statement</td><td>compiled into one instruction record of the <code>.dat</code>
file; its command code is the number shown with it. At the console it does nothing</td></tr>
</table>
<p>Each entry below shows the syntax that the compiler reads, an example, and the help text that
the console prints after a syntax error and in <code>cmdlist</code>. Where the first line of a help
text differs from the syntax line, the syntax line is what counts.</p>
)";

void AppendEntrySection(std::string& page, int index, const CommandEntry& entry) {
  const std::string name = HtmlEscape(entry.name);
  page += "<section class=\"entry\" id=\"" + EntryAnchor(entry.name) + "\">\n";
  page += "<h3>" + name + "</h3>\n";
  page += "<p class=\"facts\">" + std::string(CategoryName(entry.category)) + ", command code " +
          std::to_string(index) + "</p>\n";
  page += "<pre class=\"syntax\">" + HtmlEscape(SyntaxLine(entry)) + "</pre>\n";
  page += "<p>Arguments: ";
  if (entry.argKinds[0] == ARG_END) {
    page += "none";
  } else {
    for (int i = 0; i < 8 && entry.argKinds[i] != ARG_END; ++i) {
      if (i > 0) page += ", ";
      page += KindName(entry.argKinds[i]);
    }
  }
  page += ".</p>\n";
  page += "<p>Example:</p>\n<pre class=\"example\">" + HtmlEscape(ExampleLine(entry)) + "</pre>\n";
  page += "<p>Help:</p>\n<pre class=\"help\">";
  ForEachHelpLine(entry.help, [&](std::string_view line) { page += HtmlEscape(line) + "\n"; });
  page += "</pre>\n</section>\n";
}

}  // namespace

std::string EntryAnchor(std::string_view name) {
  return "cmd-" + std::string(name);
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
        break;
    }
  }
  return Cp1252ToUtf8(out);
}

std::string ReferencePage(std::string_view version) {
  const auto entries = FilledEntries();
  std::string page = kHead;
  page += "<h1>ZelkScript language reference</h1>\n";
  page += "<p>ZelkScript is the scene script language of Zelk " + HtmlEscape(version) +
          ". Zelk compiles a script source file (<code>.scr</code>) into a compiled script "
          "(<code>.dat</code>) that the game loads; actors run it. The same statements, typed "
          "at the Zelk console, change its settings. This page is generated from Zelk's command "
          "table, " +
          std::to_string(entries.size()) + " entries.</p>\n";
  page +=
      "<p><a href=\"#lines\">Statement lines</a> &middot; <a href=\"#kinds\">Argument kinds</a> "
      "&middot; <a href=\"#labels\">Labels</a> &middot; <a href=\"#pseudo-targets\">Pseudo-targets"
      "</a> &middot; <a href=\"#attenuation\">Attenuation words</a> &middot; <a "
      "href=\"#categories\">Categories</a> &middot; <a href=\"#index\">All commands</a></p>\n";
  page += kRules;

  page += "<h2 id=\"index\">All commands and statements</h2>\n<table>\n";
  page += "<tr><th>Code</th><th>Word</th><th>Category</th><th>Syntax</th></tr>\n";
  for (const IndexedEntry& e : entries) {
    page += "<tr><td>" + std::to_string(e.index) + "</td><td><a href=\"#" +
            EntryAnchor(e.entry->name) + "\"><code>" + HtmlEscape(e.entry->name) +
            "</code></a></td><td>" + CategoryName(e.entry->category) + "</td><td><code>" +
            HtmlEscape(SyntaxLine(*e.entry)) + "</code></td></tr>\n";
  }
  page += "</table>\n";

  for (signed char category : {CATEGORY_ENVIRONMENT, CATEGORY_LABEL, CATEGORY_STATEMENT}) {
    page += "<h2 id=\"category-" + std::to_string(category) + "\">" + CategoryHeading(category) +
            "</h2>\n";
    for (const IndexedEntry& e : entries) {
      if (e.entry->category == category) AppendEntrySection(page, e.index, *e.entry);
    }
  }
  page += "</body>\n</html>\n";
  return page;
}

}  // namespace zelk::docgen
