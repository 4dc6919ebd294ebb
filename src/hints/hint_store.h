#pragma once
#include "store/database.h"

#include <optional>

// Hints are kept per window and control; the pair is the key.
std::optional<QString> ReadHint(Database& work, const QString& formName, const QString& ctlName);
// Replaces the hint, all or nothing, synced: the one thing in the work file that must last.
void EntryHint(Database& work, const QString& formName, const QString& ctlName, const QString& formTitle,
               const QString& contents);
void Deleteヒント(Database& work, const QString& formName, const QString& ctlName);
