// The image element's settings ("Data", kept under "Sheet"): for each group of image types, how the
// element hands a picture to an external editor.
#pragma once

#include "cuProps.h"

class TExternalEditorSettings : public TProperty {
public:
  TExternalEditorSettings(TProperty *owner, QString name);

  // 0, the empty name: open the file with the desktop's default application; 1, "CustomEditor": with the
  // program named by CustomEditor; 2, "None": no external editing.
  TEnumProperty &DefaultAction() const { return *FDefaultAction; }
  // Full path of a program.
  TStringProperty &CustomEditor() const { return *FCustomEditor; }

private:
  TEnumProperty *FDefaultAction;
  TStringProperty *FCustomEditor;
};

class TDataElementSettings : public TProperty {
public:
  explicit TDataElementSettings(TProperty *owner);

  TExternalEditorSettings &Bitmaps() const { return *FBitmaps; }
  TExternalEditorSettings &Icons() const { return *FIcons; }
  TExternalEditorSettings &Cursors() const { return *FCursors; }
  TExternalEditorSettings &Metafiles() const { return *FMetafiles; }
  TExternalEditorSettings &Other() const { return *FOther; }

protected:
  // On the reset to defaults (first run) the bitmaps' custom editor becomes DefaultBitmapEditor().
  bool Notification(int code, TNotifyArg a, TNotifyArg b) override;

private:
  TExternalEditorSettings *FBitmaps;
  TExternalEditorSettings *FIcons;
  TExternalEditorSettings *FCursors;
  TExternalEditorSettings *FMetafiles;
  TExternalEditorSettings *FOther;
};

// The full path of the first painting program found on the PATH (kolourpaint, pinta, krita, gimp, in
// that order), or the empty string.
QString DefaultBitmapEditor();

// The process-wide instance, created unattached on first use and freed at process end; the application's
// settings tree holds it under "Sheet" while it exists and must detach it before freeing itself.
TDataElementSettings &DataElementSettings();
