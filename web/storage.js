// What the page remembers between visits, where the browser lets it.

export function stored(key) {
  try {
    return localStorage.getItem(key);
  } catch {
    return null; // storage may be off for pages opened from disk
  }
}

export function store(key, value) {
  try {
    localStorage.setItem(key, value);
  } catch {
    // not remembered, but in force all the same
  }
}
