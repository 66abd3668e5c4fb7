// A download link offered for a Blob, and withdrawn, its object URL freed.
import { say } from "./language.js";

export function offer(link, name, blob) {
  withdraw(link);
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.textContent = say("download", name);
}

export function withdraw(link) {
  if (link.href) URL.revokeObjectURL(link.href);
  link.removeAttribute("href");
  link.removeAttribute("download");
  link.textContent = "";
}
