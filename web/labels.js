// Labels that the assemblers take: letters, digits and "_", not starting
// with a digit, and not the name of a register, which the RISC-V simulator
// refuses as a label ("la a0, t1": operand of incorrect type). Instruction
// names are taken; MIPS register names begin with "$", so they cannot clash.

const numbered = (prefix, count, from = 0) =>
  Array.from({ length: count }, (_, i) => `${prefix}${from + i}`);

export const registerNames = new Set([
  ...numbered("x", 32), ...numbered("f", 32),
  "zero", "ra", "sp", "gp", "tp", "fp", ...numbered("t", 7), ...numbered("s", 12),
  ...numbered("a", 8), ...numbered("ft", 12), ...numbered("fs", 12), ...numbered("fa", 8),
  // The user-level control and status registers.
  "ustatus", "fflags", "frm", "fcsr", "uie", "utvec", "uscratch", "uepc", "ucause", "utval", "uip",
  "cycle", "time", "instret", "cycleh", "timeh", "instreth",
]);

// What is wrong with a label, or null: {problem: "empty"}, {problem:
// "character", character}, {problem: "leadingDigit", digit} or {problem:
// "register"}.
export function labelProblem(label) {
  if (label === "") return { problem: "empty" };
  const wrong = [...label].find((character) => !/[A-Za-z0-9_]/.test(character));
  if (wrong !== undefined) return { problem: "character", character: wrong };
  if (/^[0-9]/.test(label)) return { problem: "leadingDigit", digit: label[0] };
  if (registerNames.has(label)) return { problem: "register" };
  return null;
}

// The label mended: accents dropped, other characters as "_", a leading
// digit behind "_", a register's name followed by "_".
export function fixedLabel(label) {
  const fixed = label.normalize("NFD").replace(/[\u0300-\u036f]/g, "")
    .replace(/[^A-Za-z0-9_]/g, "_");
  const named = /^[0-9]/.test(fixed) ? `_${fixed}` : fixed;
  return registerNames.has(named) ? `${named}_` : named;
}

