// Action lists: `stop`, `play`, `goto`, `fscommand`, `set`, `tgoto`, `tplay`,
// `tstop`, each possibly behind `if` comparisons.
#include "statement_parsers.h"

namespace player {
namespace {

bool ParseConditions(TokenCursor& cursor, std::vector<Condition>& conditions) {
    while (cursor.PeekWord("if")) {
        cursor.Keyword("if");
        Condition c;
        if (!cursor.Word(c.name, "a variable name after 'if'") || !cursor.Comparison(c.equal) ||
            !cursor.ValueToken(c.value, "a string or $name to compare with")) {
            return false;
        }
        conditions.push_back(std::move(c));
    }
    return true;
}

bool ParseAction(TokenCursor& cursor, Action& action) {
    if (!ParseConditions(cursor, action.conditions)) return false;
    std::string verb;
    if (!cursor.Word(verb, "an action")) return false;
    if (verb == "stop" || verb == "play") {
        action.kind = verb == "stop" ? ActionKind::Stop : ActionKind::Play;
        return true;
    }
    if (verb == "goto") {
        action.kind = ActionKind::Goto;
        return cursor.FrameValue(action.frame, "a frame number or $name after 'goto'");
    }
    if (verb == "fscommand") {
        action.kind = ActionKind::FsCommand;
        return cursor.String(action.target, "the command string after 'fscommand'") &&
               cursor.ValueToken(action.value, "the command's argument (a string or $name)");
    }
    if (verb == "set") {
        action.kind = ActionKind::Set;
        return cursor.Word(action.target, "a variable name after 'set'") &&
               cursor.ValueToken(action.value, "a string or $name to set");
    }
    if (verb == "tgoto" || verb == "tplay" || verb == "tstop") {
        action.kind = verb == "tgoto"   ? ActionKind::TGoto
                      : verb == "tplay" ? ActionKind::TPlay
                                        : ActionKind::TStop;
        if (!cursor.Word(action.target, "a clip path")) return false;
        return action.kind != ActionKind::TGoto ||
               cursor.FrameValue(action.frame, "a frame number or $name after the path");
    }
    return cursor.Fail("unknown action '" + verb + "'");
}

}  // namespace

bool ParseActions(TokenCursor& cursor, ActionList& actions) {
    do {
        Action action;
        if (!ParseAction(cursor, action)) return false;
        actions.push_back(std::move(action));
        if (cursor.AtEnd()) return true;
        if (!cursor.Semicolon()) return false;
    } while (!cursor.AtEnd());
    return true;
}

}  // namespace player
