// The bash completion of dotforge-cli, one case per command of the table.
// It stands on the bash-completion package's helpers (_init_completion,
// _filedir), as the completions installed beside it do.

#include "cli/command.h"
#include "cli/docs/cli_docs.h"
#include "cli/tool_name.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace dotforge::cli {

namespace {

std::string joined(const std::vector<std::string> &words, const std::string &separator)
{
    std::string out;
    for (const std::string &word : words)
        out += (out.empty() ? "" : separator) + word;
    return out;
}

// A word in single quotes for the shell.
std::string quoted(const std::string &word)
{
    std::string out = "'";
    for (char c : word)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The _filedir pattern of file name extensions: "zmb|asm"; "" for any file.
std::string filePattern(const std::vector<std::string> &extensions)
{
    for (const std::string &extension : extensions)
        if (extension.empty())
            return "";
    return joined(extensions, "|");
}

// The names an option is given by: "-o", "--output".
std::vector<std::string> namesOf(const OptionSpec &option)
{
    std::vector<std::string> names;
    if (option.shortName)
        names.push_back(std::string("-") + option.shortName);
    names.push_back("--" + option.name);
    return names;
}

// The case of one command: what follows an option that takes a value (the
// options that get the same grouped), and the lists the common part below reads.
std::string commandCase(const Command &command)
{
    std::vector<std::pair<std::string, std::vector<std::string>>> actions; // action, option names
    const auto add = [&actions](const std::string &action, const std::vector<std::string> &names) {
        auto it = std::find_if(actions.begin(), actions.end(), [&](const auto &a) { return a.first == action; });
        if (it == actions.end())
            actions.push_back({action, names});
        else
            it->second.insert(it->second.end(), names.begin(), names.end());
    };
    std::vector<std::string> options;
    std::vector<std::string> valued;
    std::vector<std::string> optional;
    for (const OptionSpec &option : command.options) {
        const std::vector<std::string> names = namesOf(option);
        options.insert(options.end(), names.begin(), names.end());
        if (!option.takesValue) {
            for (const std::string &word : option.optionalWords)
                optional.push_back("--" + option.name + "=" + word);
            if (!option.optionalWords.empty())
                add("[[ $cur == -* ]] || { COMPREPLY=($(compgen -W " + quoted(joined(option.optionalWords, " "))
                        + " -- \"$cur\")); return; }",
                    names);
            continue;
        }
        valued.insert(valued.end(), names.begin(), names.end());
        if (!option.words.empty())
            add("COMPREPLY=($(compgen -W " + quoted(joined(option.words, " ")) + " -- \"$cur\")); return", names);
        else if (!option.files.empty())
            add("_filedir " + quoted(filePattern(option.files)) + "; return", names);
        else
            add("return", names); // free text
    }
    std::vector<std::string> operands;
    for (const std::vector<std::string> &files : command.operands)
        operands.push_back(quoted(filePattern(files)));

    std::string out = "    " + std::string(command.name) + ")\n        case $prev in\n";
    for (const auto &[action, names] : actions)
        out += "        " + joined(names, " | ") + ") " + action + " ;;\n";
    out += "        esac\n";
    out += "        options=" + quoted(joined(options, " ")) + "\n";
    out += "        valued=" + quoted(joined(valued, " ")) + "\n";
    out += "        optional=" + quoted(joined(optional, " ")) + "\n";
    out += "        operands=(" + joined(operands, " ") + ")\n";
    return out + "        ;;\n";
}

} // namespace

std::string bashCompletion()
{
    std::vector<std::string> names;
    for (const Command *command : commands())
        names.push_back(command->name);

    std::string out = "# bash completion for " + std::string(kProgram) + "                 -*- shell-script -*-\n";
    out += "# Made by make_cli_docs from the command table of dotforge-cli.\n\n";
    out += R"(_dotforge_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W ')"
        + joined(names, " ") + R"( -h --help --version' -- "$cur"))
        return
    fi

    # Per command: its options, those that take the next word as their value,
    # the words that some options without a value take, and the files of each
    # operand, the last one for any further operands.
    local options valued optional operands
    case ${words[1]} in
)";
    for (const Command *command : commands())
        out += commandCase(*command);
    out += R"(    *)
        return
        ;;
    esac

    $split && return
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    # Which operand this is: the words after the command that are neither an
    # option nor its value.
    local i n=0
    for ((i = 2; i < cword; i++)); do
        case ${words[i]} in
        -*=*) ;;
        -*)
            if [[ " $valued " == *" ${words[i]} "* ]]; then
                ((i++))
            elif [[ " $optional " == *" ${words[i]}=${words[i + 1]-} "* ]]; then
                ((i++))
            fi
            ;;
        *) ((n++)) ;;
        esac
    done
    ((${#operands[@]})) || return
    ((n < ${#operands[@]})) || n=$((${#operands[@]} - 1))
    _filedir "${operands[n]}"
} &&
    complete -F _dotforge_cli dotforge-cli

# ex: filetype=sh
)";
    return out;
}

} // namespace dotforge::cli
