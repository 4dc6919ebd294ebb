#pragma once

// Qt's own dialogs (message boxes, print, colour and file dialogs) in Japanese whatever the system's
// locale, and one Japanese face for the whole application so digits and kana never switch faces.
// Call once the application object exists; calling again changes nothing. False when Qt's Japanese
// translations are not installed: the dialogs then keep Qt's English texts.
bool SetupJapaneseUi();
