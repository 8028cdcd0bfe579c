// The description of one graph setting of the symmetric layout, as the rows of
// tailor/kwsgrset.def give it, and the kind tokens of those rows.
#ifndef KWSGRSET_H
#define KWSGRSET_H

class KWSGraphTailor;

/// The kinds of value a graph setting holds.
enum class KWSSettingKind { Real, Integer, Flag };

/// The uses of a graph setting (the row's "uses" bits).
enum : unsigned {
  KWS_NAMED = 1u,  ///< settable by name: kwslay --set, graph attributes, KWSLayout::setting
  KWS_USED = 2u,   ///< a layout reads it
  KWS_START = 4u   ///< says how the next layout starts: set before the others in a new tailor or a copy
};

/// One graph setting: its row of tailor/kwsgrset.def and the tailor's getter
/// and setter reached through the value as a double (which holds every int).
struct KWSGraphSetting {
  const char* name;
  KWSSettingKind kind;
  double defaultValue;
  /// The OML keyword index of its graph "slayout" field, or -1.
  int omlIndex;
  /// The keys of its model-file tailoring lines, separated by spaces; "" for none.
  const char* modelKeys;
  /// The values the tool accepts, min to max (a number setting with both 0
  /// has no range of its own).
  double min;
  double max;
  /// Above this the layout uses the ceiling instead (0: no ceiling).
  double ceiling;
  unsigned uses;
  /// One line for the help text and the documentation.
  const char* help;
  double (*get)(const KWSGraphTailor&);
  /// Stores through the tailor's setter, which notifies the owner graph of a
  /// change; answers what the setter answers.
  double (*set)(KWSGraphTailor&, double);

  bool ranged() const { return kind != KWSSettingKind::Flag && (min != 0.0 || max != 0.0); }
  bool named() const { return (uses & KWS_NAMED) != 0; }
  bool used() const { return (uses & KWS_USED) != 0; }
  /// Whether key (without the "// ") is one of its model-file keys.
  bool hasModelKey(const char* key) const;
};

// Kind tokens of the rows, for their includers: the value type of the getter
// and setter, the descriptor kind, and whether the pair overrides the base
// graph tailor's (BaseFlag: a Flag that the base tailor declares).
#define KWS_SETTING_TYPE_Real double
#define KWS_SETTING_TYPE_Integer int
#define KWS_SETTING_TYPE_Flag int
#define KWS_SETTING_TYPE_BaseFlag int
#define KWS_SETTING_KIND_Real KWSSettingKind::Real
#define KWS_SETTING_KIND_Integer KWSSettingKind::Integer
#define KWS_SETTING_KIND_Flag KWSSettingKind::Flag
#define KWS_SETTING_KIND_BaseFlag KWSSettingKind::Flag
#define KWS_SETTING_OVERRIDE_Real
#define KWS_SETTING_OVERRIDE_Integer
#define KWS_SETTING_OVERRIDE_Flag
#define KWS_SETTING_OVERRIDE_BaseFlag override
// x for number kinds (stored in a member of the tailor), nothing for flags.
#define KWS_SETTING_IF_NUMBER_Real(x) x
#define KWS_SETTING_IF_NUMBER_Integer(x) x
#define KWS_SETTING_IF_NUMBER_Flag(x)
#define KWS_SETTING_IF_NUMBER_BaseFlag(x)
// x for flags (a bit of the tailor's flag word), nothing for numbers.
#define KWS_SETTING_IF_FLAG_Real(x)
#define KWS_SETTING_IF_FLAG_Integer(x)
#define KWS_SETTING_IF_FLAG_Flag(x) x
#define KWS_SETTING_IF_FLAG_BaseFlag(x) x

#endif
