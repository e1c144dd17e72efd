// dotforge-cli.1: the tool's help and every command's help turned into troff,
// line by line as the help texts lay them out.

#include "cli/command.h"
#include "cli/docs/cli_docs.h"
#include "cli/errors.h"
#include "cli/exit_status.h"
#include "cli/options.h"
#include "cli/tool_name.h"
#include "formats/profiles.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace dotforge::cli {

namespace {

// Options and their descriptions: the description starts in this column of
// the commands' help, or after a gap of two spaces.
constexpr std::size_t kDescriptionColumn = 31;
// A line indented further than an option's name goes on with the description
// of the item above it.
constexpr std::size_t kItemIndent = 6;

bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::size_t indentOf(std::string_view line)
{
    const auto at = line.find_first_not_of(' ');
    return at == std::string_view::npos ? line.size() : at;
}

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::vector<std::string> linesOf(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Text as troff prints it: a backslash is a printed backslash, a dash the
// minus sign that can be pasted into a shell.
std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

// A line of running text; a dot or an apostrophe at its start would make it a
// request.
std::string textLine(std::string_view text)
{
    std::string line = escaped(text);
    if (line.starts_with(".") || line.starts_with("'"))
        line = "\\&" + line;
    return line + "\n";
}

// A usage line or an option's term in the manual's fonts: options bold,
// placeholders (FILE, NAME, N, MODE ...) italic, the values and the rest
// upright. A capital letter among alternatives (A|B|C|D) is a value.
std::string withFonts(std::string_view text)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const bool wordStart = i == 0 || std::string_view(" [|(,").find(text[i - 1]) != std::string_view::npos;
        if (c == '-' && wordStart && i + 1 < text.size() && (text[i + 1] == '-' || isWordChar(text[i + 1]))) {
            std::size_t end = i + 1;
            while (end < text.size() && (isWordChar(text[end]) || text[end] == '-'))
                ++end;
            out += "\\fB" + escaped(text.substr(i, end - i)) + "\\fR";
            i = end;
        } else if (isUpper(c) && (i == 0 || !isWordChar(text[i - 1]))) {
            std::size_t end = i;
            while (end < text.size() && (isUpper(text[end]) || text[end] == '_'))
                ++end;
            const bool word = end == text.size() || !isWordChar(text[end]);
            const bool alternative = (i > 0 && text[i - 1] == '|') || (end < text.size() && text[end] == '|');
            const std::string part(text.substr(i, end - i));
            out += word && (part.size() > 1 || !alternative) ? "\\fI" + part + "\\fR" : part;
            i = end;
        } else {
            out += escaped(text.substr(i, 1));
            ++i;
        }
    }
    return out;
}

// A usage line ("dotforge-cli build [OPTION]... -o FILE") with the program and
// the command in bold.
std::string usageLine(std::string_view usage, std::string_view command)
{
    std::string head = std::string(kProgram) + (command.empty() ? "" : " " + std::string(command));
    if (!usage.starts_with(head))
        return withFonts(usage) + "\n";
    return "\\fB" + escaped(head) + "\\fR" + withFonts(usage.substr(head.size())) + "\n";
}

// The usage lines at the top of a help text, without "Usage:" and "or:",
// their continuation lines joined; `rest` gets what follows them.
std::vector<std::string> usageLines(std::string_view help, std::string &rest)
{
    std::vector<std::string> usages;
    const std::vector<std::string> lines = linesOf(help);
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        const std::string line = trimmed(lines[i]);
        if (line.starts_with("Usage: "))
            usages.push_back(trimmed(line.substr(7)));
        else if (line.starts_with("or: ") && !usages.empty())
            usages.push_back(trimmed(line.substr(4)));
        else if (!lines[i].empty() && lines[i][0] == ' ' && !usages.empty())
            usages.back() += " " + line;
        else
            break;
    }
    for (; i < lines.size(); ++i)
        rest += lines[i] + "\n";
    return usages;
}

// Blocks of a help text between blank lines.
std::vector<std::string> blocksOf(std::string_view text)
{
    std::vector<std::string> blocks;
    std::string block;
    for (const std::string &line : linesOf(text)) {
        if (trimmed(line).empty()) {
            if (!block.empty())
                blocks.push_back(block);
            block.clear();
        } else {
            block += line + "\n";
        }
    }
    if (!block.empty())
        blocks.push_back(block);
    return blocks;
}

// "  -o, --output FILE ..." or "      --size 16|24|32 ...".
bool isOptionLine(std::string_view line)
{
    return (line.size() > 8 && line.starts_with("  -") && isWordChar(line[3]) && line.substr(4, 4) == ", --")
        || line.starts_with("      --");
}

// The body of a help text as man macros: paragraphs of prose, headings (a line
// ending in ':' over indented lines), options and two-column lists as tagged
// paragraphs, and the notes among them.
std::string helpBody(std::string_view text)
{
    enum class Open { Nothing, Paragraph, Item, Indented };
    Open open = Open::Nothing;
    std::string out;
    const std::vector<std::string> lines = linesOf(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string &line = lines[i];
        const std::size_t indent = indentOf(line);
        if (indent == line.size()) {
            open = Open::Nothing;
        } else if (isOptionLine(line) || (indent == 2 && line.find("  ", 2) != std::string::npos)) {
            // An option, or an entry of a list: its term, then its description
            // after a gap, in the description column or on the lines below.
            const auto gap = line.find("  ", indent);
            std::string term = line;
            std::string description;
            if (gap != std::string::npos) {
                term = line.substr(0, gap);
                description = trimmed(line.substr(gap));
            } else if (line.size() > kDescriptionColumn && line[kDescriptionColumn - 1] == ' ') {
                term = line.substr(0, kDescriptionColumn);
                description = trimmed(line.substr(kDescriptionColumn));
            }
            out += ".TP\n";
            out += isOptionLine(line) ? withFonts(trimmed(term)) + "\n" : "\\fB" + escaped(trimmed(term)) + "\\fR\n";
            if (!description.empty())
                out += textLine(description);
            open = Open::Item;
        } else if (indent > kItemIndent && open != Open::Nothing) {
            out += textLine(trimmed(line));
        } else if (indent == 0 && line.ends_with(":") && i + 1 < lines.size() && indentOf(lines[i + 1]) > 0
            && indentOf(lines[i + 1]) < lines[i + 1].size()) {
            out += ".PP\n\\fB" + escaped(line) + "\\fR\n";
            open = Open::Nothing;
        } else if (indent == 0) {
            if (open != Open::Paragraph)
                out += ".PP\n";
            out += textLine(line);
            open = Open::Paragraph;
        } else {
            // A note among the options.
            if (open != Open::Indented)
                out += ".PP\n";
            out += textLine(trimmed(line));
            open = Open::Indented;
        }
    }
    return out;
}

struct Example {
    const char *what;
    std::vector<std::vector<std::string>> commands; // each without the program's name
};

// The words of an example that `command` reads; an option it does not take is
// a fault of the manual.
void checkExample(const std::vector<std::string> &words)
{
    const auto table = commands();
    const auto found = std::find_if(
        table.begin(), table.end(), [&words](const Command *c) { return !words.empty() && words[0] == c->name; });
    if (found == table.end())
        throw std::logic_error("an example runs an unknown command: " + (words.empty() ? "" : words[0]));
    try {
        Arguments(std::vector<std::string>(words.begin() + 1, words.end()), (*found)->options);
    } catch (const UsageError &e) {
        throw std::logic_error("an example of '" + words[0] + "' does not parse: " + e.what());
    }
}

// An example command line in lines of at most 64 columns, continued with a
// backslash; an option stays on the line of its value.
std::string exampleLines(const std::vector<std::string> &words)
{
    constexpr std::size_t kWidth = 64;
    std::string out;
    std::string line = kProgram;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string group = words[i];
        if (words[i].starts_with("-") && i + 1 < words.size() && !words[i + 1].starts_with("-"))
            group += " " + words[++i];
        if (line.size() + 1 + group.size() > kWidth) {
            out += escaped(line) + " \\e\n";
            line = "    " + group;
        } else {
            line += " " + group;
        }
    }
    return out + escaped(line) + "\n";
}

std::string examples(const ManPageFacts &facts)
{
    const std::string font16s = facts.dataDir + "/Font16s";
    const std::vector<Example> list{
        {"A firmware's font from its strings (the first line of strings.txt), as C source and its header:",
            {{"build", "--size", "16", "--mode", "C", "--text-file", "strings.txt", "-o", "font.c"},
                {"build", "--size", "16", "--mode", "C", "--text-file", "strings.txt", "-o", "font.h"}}},
        {"The same from the installed dot-matrix font, traditional variant, for a column-scanning controller:",
            {{"build", "--source", "font16s", "--font16s", font16s, "--variant", "1", "--mode", "A", "--rotate", "90",
                "--text-file", "strings.txt", "-o", "font_tw.ZMB"}}},
        {"The characters the sources under src/ show, checked against GB2312, built for an SSD1306:",
            {{"collect", "--charset", "gb2312", "--strict", "-o", "chars.txt", "src"},
                {"build", "--size", "16", "--profile", "pages-lsb", "--text-file", "chars.txt", "-o", "font.c"}}},
        {"Whether font.c still holds what a build would write (exit status 1 when not):",
            {{"build", "--size", "16", "--profile", "pages-lsb", "--text-file", "chars.txt", "-o", "font.c",
                "--check"}}},
        {"An LVGL font with half-width Latin, and a flash image of the whole GB2312 set with its header:",
            {{"build", "--size", "16", "--text-file", "chars.txt", "--latin", "--format", "lvgl", "--name", "font16",
                 "-o", "font16.c"},
                {"build", "--charset", "gb2312", "--size", "16", "--profile", "pages-lsb", "--format", "grid",
                    "--header", "-o", "font.bin"}}},
        {"A library re-laid for another controller, shown as that controller shows it, and on a proof sheet:",
            {{"convert", "--size", "16", "--from", "A", "--to", "C", "old.ZMB", "new.ASM"},
                {"dump", "--size", "16", "--mode", "C", "new.ASM"},
                {"proof", "--size", "16", "--profile", "pages-lsb", "--bytes", "font.ZMB", "-o", "sheet.pdf"}}},
        {"The layout that gives the bytes a display driver already holds for a glyph:",
            {{"find-layout", "--size", "16", "--text", "啊", "--bytes-file", "glyph.hex"}}},
    };
    std::string out = ".SH EXAMPLES\n";
    for (const Example &example : list) {
        out += ".PP\n" + textLine(example.what) + ".PP\n.RS\n.nf\n";
        for (const std::vector<std::string> &words : example.commands) {
            checkExample(words);
            out += exampleLines(words);
        }
        out += ".fi\n.RE\n";
    }
    return out;
}

// One tagged paragraph.
std::string item(std::string_view tag, std::string_view text)
{
    return ".TP\n" + std::string(tag) + "\n" + textLine(text);
}

} // namespace

std::string manPage(const ManPageFacts &facts)
{
    std::string out = ".\\\" -*- coding: UTF-8 -*-\n";
    out += ".\\\" Made by make_cli_docs from the help texts of dotforge-cli.\n";
    out += ".TH DOTFORGE\\-CLI 1 \"" + facts.date + "\" \"Dotforge " + facts.version + "\" \"User Commands\"\n";
    out += ".nh\n.ad l\n";
    out += ".SH NAME\ndotforge\\-cli \\- build, convert and show dot\\-matrix font libraries without a window\n";

    // The tool's help: its usage, then its blocks as the description, its own
    // options apart; the exit statuses get a section of their own.
    std::string toolRest;
    const std::vector<std::string> toolUsages = usageLines(toolHelp(), toolRest);
    std::string description;
    std::string options;
    for (const std::string &block : blocksOf(toolRest)) {
        if (block.starts_with("Exit status:"))
            continue;
        (isOptionLine(block) ? options : description) += block + "\n";
    }

    out += ".SH SYNOPSIS\n";
    for (const std::string &usage : toolUsages)
        out += usageLine(usage, "");
    for (const Command *command : commands()) {
        std::string rest;
        for (const std::string &usage : usageLines(command->help, rest))
            out += ".br\n" + usageLine(usage, command->name);
    }
    out += ".SH DESCRIPTION\n" + helpBody(description);
    out += ".SH OPTIONS\n" + helpBody(options);

    out += ".SH COMMANDS\n";
    for (const Command *command : commands()) {
        out += ".SS " + escaped(command->name) + "\n.PP\n";
        std::string rest;
        bool first = true;
        for (const std::string &usage : usageLines(command->help, rest)) {
            out += (first ? "" : ".br\n") + usageLine(usage, command->name);
            first = false;
        }
        out += helpBody(rest);
        if (command->listsProfiles)
            out += ".PP\nThe controller layouts of \\fB\\-\\-profile\\fR are listed under CONTROLLER LAYOUTS.\n";
    }

    // The block profilesHelp() adds to these commands' help, once.
    out += ".SH CONTROLLER LAYOUTS\n";
    out += textLine("Each named layout of --profile is a byte layout mode with default effects:");
    for (const LayoutProfile &p : layoutProfiles())
        out += item("\\fB" + escaped(p.name) + "\\fR = " + escaped(layoutOptions(p.layout)),
            p.order + std::string("; for ") + p.controllers + ".");

    out += ".SH EXIT STATUS\n";
    out += item(std::to_string(kExitOk), "Success.");
    out += item(std::to_string(kExitUsage),
        "Bad arguments; for build --check, a file that is missing or differs; for collect --strict, a character "
        "outside the set or bytes that form no character; for find-layout, no combination that gives the bytes.");
    out += item(std::to_string(kExitIo),
        "An input or output file could not be read or written; an output file is then left as it was.");

    out += examples(facts);

    out += ".SH ENVIRONMENT\n";
    out += item("\\fBXDG_CACHE_HOME\\fR", "The folder of the caches below; ~/.cache when it is not set.");
    out += ".SH FILES\n";
    out += item("\\fI" + escaped(facts.dataDir) + "/Font16s\\fR",
        "The 16-dot dot-matrix font file installed with Dotforge, for build --source font16s (see --font16s).");
    out += item("\\fI$XDG_CACHE_HOME/dotforge/font\\-digests\\fR",
        "The SHA-256 digests of font files that C output names, each kept while its file's inode, size and times "
        "stay the same.");
    out += item("\\fI$XDG_CACHE_HOME/dotforge/fontconfig\\-answers\\fR",
        "What fontconfig answered (the fonts it lists, the families it hints), kept while its configuration, its "
        "font folders and the environment it reads stay the same.");
    out += item("\\fI$XDG_CACHE_HOME/dotforge/bitmap\\-fonts\\fR",
        "The bitmap fonts that fontconfig's configuration rejects, per font folder.");
    out += ".PP\n";
    out += textLine("The caches only save time and are replaced whole: deleting them is always safe.");
    out += ".SH SEE ALSO\n\\fBdotforge\\fR(1), \\fBfc\\-list\\fR(1), \\fBfc\\-match\\fR(1)\n";
    return out;
}

} // namespace dotforge::cli
