#include "scripteddialogs.h"

int ScriptedDialogs::show(const Message &message) {
    if (onShow) onShow(message);
    shown << message;
    return answers.isEmpty() ? message.defaultButton : answers.takeFirst();
}
