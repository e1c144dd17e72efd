#include "tests/support/scripted_prompts.h"

#include <gtest/gtest.h>

namespace dotforge::test {

namespace {
const char *kindName(BoxKind k)
{
    switch (k) {
    case BoxKind::Warning:
        return "warning";
    case BoxKind::Confirmation:
        return "confirmation";
    case BoxKind::Error:
        return "error";
    }
    return "?";
}
} // namespace

Answer ScriptedPrompts::ask(BoxKind kind, const std::string &text, Buttons buttons)
{
    m_log.push_back({kindName(kind), text});
    m_lastButtons = buttons;
    if (buttons == Buttons::Ok)
        return Answer::Ok; // a box with only OK needs no script
    if (m_answers.empty()) {
        ADD_FAILURE() << "unscripted question: " << text;
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
    const Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

void ScriptedPrompts::message(const std::string &text)
{
    m_log.push_back({"message", text});
}

void ScriptedPrompts::showError(const std::string &text)
{
    m_log.push_back({"ioerror", text});
}

void ScriptedPrompts::beep()
{
    m_log.push_back({"beep", ""});
}

std::optional<FileChoice> ScriptedPrompts::openFile(const FileDialogSpec &spec)
{
    m_lastOpen = spec;
    m_log.push_back({"open", spec.filter});
    if (m_files.empty()) {
        ADD_FAILURE() << "unscripted open dialog: " << spec.title;
        return std::nullopt;
    }
    auto c = m_files.front();
    m_files.pop_front();
    return c;
}

std::optional<FileChoice> ScriptedPrompts::saveFile(const FileDialogSpec &spec)
{
    m_lastSave = spec;
    m_log.push_back({"save", spec.filter});
    if (m_files.empty()) {
        ADD_FAILURE() << "unscripted save dialog: " << spec.title;
        return std::nullopt;
    }
    auto c = m_files.front();
    m_files.pop_front();
    return c;
}

std::optional<FontChoice> ScriptedPrompts::chooseFont(const std::string &face, int pointSize)
{
    m_log.push_back({"font", face + " " + std::to_string(pointSize)});
    if (m_fonts.empty()) {
        ADD_FAILURE() << "unscripted font dialog";
        return std::nullopt;
    }
    auto c = m_fonts.front();
    m_fonts.pop_front();
    return c;
}

void ScriptedPrompts::showHelp(const std::string &helpFile)
{
    m_log.push_back({"help", helpFile});
}

void ScriptedPrompts::showAbout(const std::string &text)
{
    m_log.push_back({"about", text});
}

std::vector<std::string> ScriptedPrompts::texts(const std::string &kind) const
{
    std::vector<std::string> out;
    for (const auto &e : m_log)
        if (e.kind == kind)
            out.push_back(e.text);
    return out;
}

int ScriptedPrompts::beeps() const
{
    return int(texts("beep").size());
}

} // namespace dotforge::test
