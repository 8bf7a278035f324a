// Debian's chromium, headless, as the browser tests and the web benchmark drive it (each with
// the puppeteer-core of its own node_modules): quiet, and with a profile of its own.
export function launchChromium(puppeteer, profile, extraArgs = []) {
  return puppeteer.launch({
    executablePath: process.env.CW_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      ...extraArgs,
      `--user-data-dir=${profile}`,
    ],
  });
}
