// Runs crateworks-replay built for WebAssembly under node's WASI, as the native program runs:
// the same arguments, standard streams, files (relative to the working directory) and exit
// status.   node tools/wasm_replay.mjs MODULE.wasm [ARG]...
import { readFile } from 'node:fs/promises';
import { realpathSync } from 'node:fs';
import { argv, cwd, env, exit } from 'node:process';
import { WASI } from 'node:wasi';

const [modulePath, ...args] = argv.slice(2);
const program = realpathSync(modulePath);
// The whole file system under its own names, and the working directory where the program
// starts: a relative name means the same file as it does to the native program.
const wasi = new WASI({
  version: 'preview1',
  args: [program, ...args],
  env: { ...env, PWD: cwd() },
  preopens: { '/': '/' },
  returnOnExit: true,
});
const module = await WebAssembly.compile(await readFile(program));
// wasiImport, not getImportObject(): Debian 12's node 18 may lack the latter.
const instance = await WebAssembly.instantiate(module, { wasi_snapshot_preview1: wasi.wasiImport });
exit(wasi.start(instance));
