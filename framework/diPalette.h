// The palette: the commands that apply to the focused element or to a group of selected elements
// (inserting an element kind, switching a state, running an action). It is one process-wide tree of
// groups and items, built once at start-up: the framework's groups and items come first (Palette()),
// then every unit adds its own with CreatePaletteGroup and CreatePaletteItem. The palette window shows,
// for the current focus, the items the focused element offers (GetPaletteFor), sorted by weight, enabled
// and checked as the element says (GetPaletteItemDisplayState), adjusted by the element (TunePaletteItem),
// and executes them on the element (ExecutePaletteItemOn) or on the selection (ExecutePaletteItemOnGroup).
#pragma once

#include "cuClasses.h"
#include "diClasses.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

class TVisualElement;

using TVisualElementList = std::vector<TVisualElement *>;

// Appends `item` unless the list holds it already.
void AddPaletteItem(TPaletteItemList &list, TPaletteItem *item);
bool ContainsPaletteItem(const TPaletteItemList &list, const TPaletteItem *item);

// ---------------------------------------------------------------------------------------------------------
// Item options (TPaletteItem::Tune). The framework reads the first six when it offers, enables and
// executes items; the others tell the palette window how to show an item, and 0x0080 tells a text where
// to put the element an element item inserts.
constexpr std::uint16_t piGroupOnly = 0x0001;         // offered only for a group selection
constexpr std::uint16_t piSingleOnly = 0x0002;        // offered only for one element
constexpr std::uint16_t piNotForSeveral = 0x0004;     // dropped when two or more elements are selected
constexpr std::uint16_t piAlwaysDisabled = 0x0008;    // always shown disabled
constexpr std::uint16_t piNoSheetUpdate = 0x0020;     // executed without a sheet update around it
constexpr std::uint16_t piChangesDocument = 0x0040;   // disabled while the target element is read-only
constexpr std::uint16_t piOwnParagraph = 0x0080;      // the inserted element goes on a paragraph of its own
constexpr std::uint16_t piLargeImage = 0x0100;        // the image is in the 32-pixel list, else 16-pixel
constexpr std::uint16_t piToggle = 0x0200;            // a toggle button
constexpr std::uint16_t piRadio = 0x0400;             // belongs to radio group 1 (RadioGroup)
constexpr std::uint16_t piNewColumn = 0x0800;         // starts a new column, or a separator in a menu
constexpr std::uint16_t piNoCaption = 0x1000;         // the button shows no caption
constexpr std::uint16_t piMenu = 0x2000;              // the button opens a menu instead of executing
constexpr std::uint16_t piSplit = 0x4000;             // an executing image part above a menu part

// ---------------------------------------------------------------------------------------------------------
// The tree.

// Common base of groups and items. Siblings are shown by descending weight.
class TPaletteNode : public TNode {
public:
  std::int32_t Weight() const { return FWeight; }
  // String id of the caption; 0 for none.
  int CaptionId() const { return FCaptionId; }
  // The caption in the current language; empty for none.
  QString Caption() const;
  TPaletteNode *ParentNode() const { return static_cast<TPaletteNode *>(Owner()); }

protected:
  TPaletteNode(int captionId, std::int32_t weight) : FWeight(weight), FCaptionId(captionId) {}
  ~TPaletteNode() override = default;

private:
  std::int32_t FWeight;
  int FCaptionId;
};

// A group of the palette; its children are items.
class TPaletteGroup : public TPaletteNode {
public:
  TPaletteGroup(int captionId, std::int32_t weight) : TPaletteNode(captionId, weight) {}
};

// An item: a command shown as a button. Its children are its sub-items (menu entries). A plain item does
// nothing by itself; items that execute derive from TSchemePaletteItem.
class TPaletteItem : public TPaletteNode {
public:
  // `image` is a cell of the 32-pixel list with piLargeImage, else of the 16-pixel list; -1 for none.
  TPaletteItem(std::uint16_t options, int image, int descriptionId, int captionId, std::int32_t weight);

  // String id of the longer description (the hint); 0 for none.
  int DescriptionId() const { return FDescriptionId; }
  QString Description() const;
  // Cells in the 16-pixel and 32-pixel lists; the one the options do not choose is -1.
  int SmallImage() const { return FSmallImage; }
  int LargeImage() const { return FLargeImage; }
  // The options (pi... bits).
  std::uint16_t Tune() const { return FTune; }
  bool HasOption(std::uint16_t option) const { return FTune & option; }
  // A single letter or empty.
  const QString &Shortcut() const { return FShortcut; }
  void SetShortcut(const QString &shortcut) { FShortcut = shortcut; }
  // 1 with piRadio, else 0; items of the same non-zero radio group are mutually exclusive choices.
  int RadioGroup() const { return FRadioGroup; }
  // The group the item stands in (for a sub-item, that of its parent item), or null while detached.
  TPaletteGroup *Group() const;
  bool HasSubItems() const { return HasChildren(); }

protected:
  // For constructors that choose their own image.
  void SetImage(int image);

private:
  int FDescriptionId;
  int FSmallImage = -1;
  int FLargeImage = -1;
  std::uint16_t FTune;
  QString FShortcut;
  int FRadioGroup;
};

// An item executed on elements. Created with image -1 it shows the framework's default command image.
class TSchemePaletteItem : public TPaletteItem {
public:
  TSchemePaletteItem(std::uint16_t options, int image, int descriptionId, int captionId, std::int32_t weight);

  // Runs the item on one element, inside an update of its sheet unless piNoSheetUpdate: the element's
  // ExecutePaletteItem(element, this, state), whose answer (handled) it returns. `state` is the new checked state of a checkable item, false for commands.
  virtual bool ExecuteOn(TVisualElement &element, bool state);
  // ExecuteOn for each element in order on which the item is enabled (GetPaletteItemDisplayState: as
  // the element reports it, not piAlwaysDisabled, not piChangesDocument on a read-only element).
  virtual void ExecuteOnList(const TVisualElementList &elements, bool state);
  // The resource name of the sound played when the item runs with that new state.
  virtual QString GetSoundName(bool state) const;
};

// An item that inserts an element of ElementClass: the focused container recognises it in its
// ExecutePaletteItem and inserts the element at its caret. Options 0x0042 are always added.
class TElementPaletteItem : public TSchemePaletteItem {
public:
  TElementPaletteItem(std::uint16_t options, int image, int descriptionId, int captionId,
                      const TElementClass &elementClass, std::int32_t weight);

  const TElementClass &ElementClass() const { return *FElementClass; }
  QString GetSoundName(bool state) const override;

private:
  const TElementClass *FElementClass;
};

// An item whose execution takes a text argument chosen from sub-commands that the item lists for the
// element (the palette window shows them as the button's menu).
class TSubExecutablePaletteItem : public TSchemePaletteItem {
public:
  using TSchemePaletteItem::TSchemePaletteItem;

  // Runs the sub-command `text` on one element; the base does nothing.
  virtual void ExecuteSubCommand(TVisualElement &element, const QString &text);
  // ExecuteSubCommand for each element in order on which the item is enabled, as for ExecuteOnList.
  void ExecuteSubOnList(const TVisualElementList &elements, const QString &text);
  // Fills two parallel lists: the captions shown and the values handed to ExecuteSubCommand.
  virtual void GetSubCommands(TVisualElement &element, QStringList &captions, QStringList &values) = 0;
};

// The Disabled item of the "State" group, offered by every element with voCanDisable and checked while the
// element is disabled by itself.
class TDisablePaletteItem : public TSchemePaletteItem {
public:
  using TSchemePaletteItem::TSchemePaletteItem;
  QString GetSoundName(bool state) const override;
};

// The root of the tree; its children are the groups.
class TPalette : public TNode {
public:
  // Depth-first over all groups and items: the first element item whose ElementClass is `elementClass`.
  TElementPaletteItem *FindElementItem(const TElementClass &elementClass) const;
  // Walks every group and, recursively, every item under it in tree order and adds each element item whose
  // ElementClass is among `classes`; an item is also added (before its sub-items) when any item below it
  // was added.
  void AddElementItems(const TElementClassList &classes, TPaletteItemList &list) const;
};

// The process-wide palette, made on first use holding the framework's groups and items; freed at exit.
TPalette &Palette();

// The framework's part of the palette.
struct TFrameworkPalette {
  TPaletteGroup *Actions;     // "Actions" (2320), weight 1000
  TPaletteGroup *Options;     // "Options" (2321), weight 800
  TPaletteGroup *Insert;      // "Insert" (2322), weight 700
  TPaletteGroup *State;       // "State" (2324), weight 150
  TPaletteGroup *Additional;  // "Additional" (2323), weight 100
  TPaletteItem *InsertOther;      // "Other" menu of the Insert group
  TPaletteItem *AdditionalOther;  // "Other" menu of the Additional group
  TDisablePaletteItem *Disable;   // "Disabled" of the State group, shortcut "D"
};
const TFrameworkPalette &FrameworkPalette();

// Registration for the units' start-up code. Each appends the new node to its parent's children.
TPaletteGroup *CreatePaletteGroup(TPalette &palette, int captionId, std::int32_t weight);
// Creates an item of class T (TSchemePaletteItem unless said otherwise) from the constructor arguments,
// for example (options, image, descriptionId, captionId, weight), or for a TElementPaletteItem (options,
// image, descriptionId, captionId, elementClass, weight). `parent` is a group, or an item for a sub-item.
template <class T = TSchemePaletteItem, class... A> T *CreatePaletteItem(TPaletteNode &parent, A &&...args) {
  static_assert(std::is_base_of_v<TPaletteItem, T>, "groups and items hold only items");
  TNodePtr<T> item(new T(std::forward<A>(args)...));
  item->SetOwner(&parent);
  return item.release();
}

// ---------------------------------------------------------------------------------------------------------
// What the palette window shows and runs.

// What an element says about one item of its palette.
struct TPaletteItemState {
  bool Enabled = true;
  bool Checked = false;
};

// How one item is shown, filled from the item and then adjusted by the focused element.
struct TPaletteItemTune {
  TPaletteNode *Group = nullptr;  // the item's group, or the item it is a sub-item of
  QString Caption;
  int SmallImage = -1;
  int LargeImage = -1;
  std::uint16_t Options = 0;
  int RadioGroup = 0;
  QString Shortcut;
};

// The items one element offers: its GetPaletteItems, then, when it is a part, its owner's
// GetPartPaletteItems for it.
void GetOfferedItems(TVisualElement &element, TPaletteItemList &list);

// The commands common to a group selection. `selected` are the selected children of one element in visual
// order; they are visited from last to first. The first one's offered items without the piSingleOnly ones
// form the result; each further one's (again without piSingleOnly) are intersected with it, and then the
// piNotForSeveral items leave it. The visit stops once the result is empty and some child offered an item.
// After each step an item with sub-items stays only while one of its sub-items is still in the list.
// Answers the group mode: whether any visited child offered an item; the list may then be empty.
bool GetGroupPaletteItems(const TVisualElementList &selected, TPaletteItemList &list);

// The items the palette window shows for the focused `element`, whose selected children (in visual order)
// are `selected` when it has voSelectsChildren. In group mode (answered) they are the commands common to the
// selection, adjusted by the element's AdjustGroupPaletteItems; otherwise the element's own offered items
// without the piGroupOnly ones.
bool GetPaletteFor(TVisualElement &element, const TVisualElementList &selected, TPaletteItemList &list);

// The visual children of `element` that are selected by their own state, in visual order.
TVisualElementList SelectedVisualChildren(const TVisualElement &element);
// GetPaletteFor with the element's own selected visual children as the selection.
bool GetPaletteFor(TVisualElement &element, TPaletteItemList &list);

// The enabled and checked state shown for `item` on `target` (the focused element, or in group mode a
// selected child): as the target's GetPaletteItemState says, and never enabled with piAlwaysDisabled or,
// while the target is read-only, with piChangesDocument.
TPaletteItemState GetPaletteItemDisplayState(TVisualElement &target, TPaletteItem &item);

// How `item` is shown on `element`: the item's own values, then the element's TunePaletteItem.
TPaletteItemTune GetPaletteItemTune(TVisualElement &element, TPaletteItem &item);

// Execution from the palette window. `state` is the new checked state of a checkable item (false for
// plain commands); sub-commands pass the value the item listed. A group selection runs the item on every
// selected child that reports it enabled. The item's sound (GetSoundName) plays through the sheet of the
// element (of the first selected child) first; a group selection runs inside one undo group and, unless
// piNoSheetUpdate, one sheet update (TSchemePaletteItem::ExecuteOn opens one per element as well).
void ExecutePaletteItemOn(TVisualElement &element, TSchemePaletteItem &item, bool state);
void ExecutePaletteItemOnGroup(const TVisualElementList &selected, TSchemePaletteItem &item, bool state);
void ExecutePaletteSubCommandOn(TVisualElement &element, TSubExecutablePaletteItem &item, const QString &text);
void ExecutePaletteSubCommandOnGroup(const TVisualElementList &selected, TSubExecutablePaletteItem &item,
                                     const QString &text);
