package com.wendle.runtime;

/**
 * The splash-screen settings the launcher passes before the application starts, kept as
 * received. The runtime shows nothing itself: an application that wants a splash screen or
 * status texts reads them through {@link Wendle#getSplashConfig()}.
 *
 * <p>The settings are four text entries, each with two numbers (for example a position), in
 * the order the launcher passes them.
 */
public final class SplashConfig {
    /** Number of text entries the launcher passes. */
    public static final int ENTRY_COUNT = 4;

    private final boolean enabled;
    private final boolean flag;
    private final String[] texts;
    private final int[] firstValues;
    private final int[] secondValues;

    SplashConfig(boolean enabled, boolean flag, String[] texts, int[] firstValues, int[] secondValues) {
        this.enabled = enabled;
        this.flag = flag;
        this.texts = texts.clone();
        this.firstValues = firstValues.clone();
        this.secondValues = secondValues.clone();
    }

    /** The first argument: true whenever the launcher configured a splash screen. */
    public boolean isEnabled() {
        return enabled;
    }

    /** The second argument, a flag of the launcher's configuration. */
    public boolean getFlag() {
        return flag;
    }

    /** Text of entry {@code index} (0 to {@link #ENTRY_COUNT} - 1), never null. */
    public String getText(int index) {
        return texts[index];
    }

    /** First number of entry {@code index}. */
    public int getFirstValue(int index) {
        return firstValues[index];
    }

    /** Second number of entry {@code index}. */
    public int getSecondValue(int index) {
        return secondValues[index];
    }

    @Override
    public String toString() {
        StringBuilder b = new StringBuilder("SplashConfig[enabled=").append(enabled)
                .append(", flag=").append(flag);
        for (int i = 0; i < ENTRY_COUNT; i++) {
            b.append(", (\"").append(texts[i]).append("\", ").append(firstValues[i])
                    .append(", ").append(secondValues[i]).append(')');
        }
        return b.append(']').toString();
    }
}
