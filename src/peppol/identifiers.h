#pragma once
#include <QString>
#include <optional>

namespace pint {

struct ParticipantId {
    QString scheme, id;
    friend bool operator==(const ParticipantId&, const ParticipantId&) = default;
};

// A Peppol participant identifier as typed: "0188:" and the 13-digit corporate number, or "0221:"
// and the registration number ("T" and 13 digits). Full-width characters, blanks and hyphens are
// accepted, and a bare corporate or registration number takes its scheme. nullopt for anything
// else, a failed check digit included: a wrong address would send the invoice nowhere.
std::optional<ParticipantId> ParseParticipantId(const QString& typed);

// The UN/ECE Recommendation 20 code (or 21, with its "X") for a line's unit as typed; C62 ("one")
// for no unit or one not in the table.
QString UnitCode(const QString& unit);

} // namespace pint
