// Node names of the Maya scene and its bind script. The games name
// materials and bones with characters Maya does not take in a node name
// ("metal~x", "mc/foo", "tag weapon", a leading digit); such a name is
// written with each of those characters as "_" (and "_" before a leading
// digit), numbered on when it then meets a name already in the scene.
// Names that are valid and free are written as stored.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/xmodel.h"

// `name` on Maya's alphabet: every character other than a letter, digit or
// "_" becomes "_", a leading digit gets "_" before it; "" gives "_".
std::string MayaNodeName(std::string_view name);

// The names one scene and its bind script use, fixed for a model: the same
// model always gets the same names, so the script binds what the scene made.
struct MayaNames {
  std::string model;                // the model's transform, "Qor_" + level 0's surf_name
  std::vector<std::string> joints;  // per bone; "" for a bone without a name (no joint)
  // Material as stored -> the name of its lambert; its other nodes add
  // "SG", "MI", "FILE" and "P2DT" to it.
  std::map<std::string, std::string, std::less<>> materials;

  // The joint of bone `index`; "tag_not_fnd" outside the list, like the
  // model's bone lookups.
  const std::string& Joint(int index) const;
  const std::string& Material(std::string_view name) const;
};

// Order of claims: the writer's own nodes, then every valid name that is
// still free (materials of level 0, then bones, in list order), then the
// mapped ones in the same order. Call on a model that passed
// CheckLevelZero.
MayaNames MakeMayaNames(const Xmodel& model);

// Material and bone names end up in comment lines and MEL strings too; a
// control character would end those lines, so such a model is refused.
bool MayaNamesWritable(const Xmodel& model);
