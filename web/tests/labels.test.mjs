// Labels: what the page flags and the label it offers instead, on the
// register names the RISC-V simulator refuses (the page's own table) and on
// labels students type.
import assert from "node:assert/strict";
import { test } from "node:test";

import { fixedLabel, labelProblem, registerNames } from "../labels.js";

test("every register name is flagged, and its fixed label ends in _ and passes", () => {
  // 32 + 32 numbered; 33 integer role names (fp and s0 are one register) and
  // 32 floating-point ones; 17 control and status registers.
  assert.equal(registerNames.size, 146);
  for (const name of registerNames) {
    assert.deepEqual(labelProblem(name), { problem: "register" }, name);
    assert.equal(fixedLabel(name), `${name}_`, name);
    assert.equal(labelProblem(fixedLabel(name)), null, name);
  }
});

test("labels as typed: what is wrong and the fix offered", () => {
  const cases = [
    // label, problem, fixed
    ["logo", null, "logo"],
    ["add", null, "add"], // instruction names are labels the simulator takes
    ["li", null, "li"],
    ["x32", null, "x32"],
    ["t7", null, "t7"],
    ["s12", null, "s12"],
    ["", { problem: "empty" }, ""],
    ["t1", { problem: "register" }, "t1_"],
    ["zero", { problem: "register" }, "zero_"],
    ["fcsr", { problem: "register" }, "fcsr_"],
    ["instreth", { problem: "register" }, "instreth_"],
    ["meu desenho", { problem: "character", character: " " }, "meu_desenho"],
    ["café", { problem: "character", character: "é" }, "cafe"],
    ["2fundo", { problem: "leadingDigit", digit: "2" }, "_2fundo"],
    ["t-1", { problem: "character", character: "-" }, "t_1"],
    ["s0 ", { problem: "character", character: " " }, "s0_"],
    ["ſ0", { problem: "character", character: "ſ" }, "_0"],
  ];
  for (const [label, problem, fixed] of cases) {
    assert.deepEqual(labelProblem(label), problem, label);
    assert.equal(fixedLabel(label), fixed, label);
    if (fixed !== "") assert.equal(labelProblem(fixed), null, `${label} fixed`);
  }
});
