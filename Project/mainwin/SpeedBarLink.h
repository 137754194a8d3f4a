#pragma once
// The speed bar as the main window keeps it in step, so that the main window needs none of the
// bar's own header; there is none until it is loaded.
#include <QString>

class SpeedBarLink {
  public:
    virtual ~SpeedBarLink() = default;
    virtual void ClearUsers() = 0;
    virtual void AddUser(const QString& name) = 0;
    virtual void UListChanged() = 0;
    virtual void GrpLstChange() = 0;
    virtual void SetStatCaption(const QString& caption) = 0;

    // The loaded speed bar, or nullptr: the bar's own holder, which it leaves as it closes, so
    // the main window never reaches a closed one.
    static SpeedBarLink* Current();
};
