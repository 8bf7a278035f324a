// The key file in the page's storage, under "crateworks.key", holding exactly the text the
// desktop program writes to its file. Where the browser refuses storage (private mode, a full
// quota, storage switched off) the keys chosen hold for the visit, in memory.
export const kKeyFileItem = 'crateworks.key';

export class KeyFile {
  constructor(storage = () => window.localStorage) {
    this.storage = storage;
    this.kept = null; // the text the storage refused, held for the visit
  }

  read() {
    if (this.kept !== null) return this.kept;
    try {
      return this.storage().getItem(kKeyFileItem);
    } catch {
      return null;
    }
  }

  // Null when kept; else why not.
  write(text) {
    try {
      this.storage().setItem(kKeyFileItem, text);
      this.kept = null;
      return null;
    } catch (e) {
      this.kept = text;
      return `the browser refuses this page storage (${e && e.name ? e.name : e}): ` +
        'the keys could not be kept, and hold until the page is closed';
    }
  }
}
