#pragma once
// The hidden image window: loaded once at start and kept for the life of the program. It
// holds the pictures every window shares: the built-in skin picture and the current one,
// the status pictures, the user-list icons, the message icons, the chat pictures, the window
// icon and the tray icon. All of it is drawn here, in code, the same on every run.
#include "platform/LoadedWindow.h"

#include <QIcon>
#include <QImage>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <array>

class QTextDocument;

class frmImgs : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kIcons = 7;
    static constexpr int kChatPictures = 15;
    // The built-in skin picture holds every piece the windows cut from it.
    static constexpr int kSkinWidth = 645;
    static constexpr int kSkinHeight = 326;

    // Creates the one instance on the first call (and registers the chat picture texts);
    // later calls return it.
    static frmImgs& Load();
    // The loaded instance, or nullptr before Load.
    static frmImgs* Loaded();

    QImage picBaseSkin;                        // the built-in skin picture
    QImage picSkin;                            // the current skin's picture
    std::array<QImage, kIcons> picIcon;        // message window icons, 32 x 32
    std::array<QImage, 3> picStat;             // own status 0 Online, 1 Busy, 2 Away, 32 x 32
    std::array<QImage, 4> picImgLst;           // user list: Online, Busy, Away, blocked by me, 16 x 16
    std::array<QImage, kChatPictures> picChat; // the chat pictures, in shortcut-table order
    QIcon icon;                                // every window's icon
    QIcon trayIcon;                            // the notification-area icon

    // The text a chat picture's shortcut codes are replaced by: an image the transcript
    // resolves through AddPictureResources. No such text holds any shortcut code.
    static QString txtPic(int index);
    static QUrl ChatPictureUrl(int index);
    // Makes the chat pictures known to a transcript document.
    void AddPictureResources(QTextDocument* doc) const;

  private:
    friend class LoadedWindow<frmImgs>;
    frmImgs();
};
