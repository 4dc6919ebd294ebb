#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <optional>

namespace msg {

// The numbers are the classic message-box style codes the screens were written against.
enum class Style { Ask = 292, AskYes = 36, Info = 64, Warn = 48 };

struct Message {
    QString title;
    QString text;
    Style style;
};

// Looks up the catalogue; std::nullopt when kind or sub-kind is unknown.
std::optional<Message> lookup(const QString& kind, const QString& sub, const QString& arg);

// A catalogued text on its own, for a part of another message (a reason, an item of a list).
QString text(const QString& kind, const QString& sub, const QString& arg = {});

// What a box shows, for the injectable answerer.
struct Shown {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

using Answerer = std::function<QMessageBox::StandardButton(const Shown&)>;

// An empty function restores the real modal QMessageBox.
void setAnswerer(Answerer a);

// The engine's error when the program cannot start: outside the catalogue, same answerer.
void ShowError(const QString& title, const QString& text);

} // namespace msg

// Shows the catalogued message; true only when a question was answered Yes.
bool MsgConfirm(const QString& kind, const QString& sub, const QString& arg);
