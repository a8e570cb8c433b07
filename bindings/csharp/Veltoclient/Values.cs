using System;

namespace Qz.Veltoclient
{
    /// The answer to a login-details request, the service library's three values.
    public struct LoginDetails
    {
        public LoginDetails(uint value1, uint value2, uint value3)
        {
            Value1 = value1;
            Value2 = value2;
            Value3 = value3;
        }

        public uint Value1 { get; private set; }
        /// The account id with the development service.
        public uint Value2 { get; private set; }
        public uint Value3 { get; private set; }
    }

    /// The session's traffic figures, modulo 2^32 (as the development service counts them).
    public struct NetworkTraffic
    {
        public NetworkTraffic(uint bytesRead, uint bytesWritten, uint requests, uint answers)
        {
            BytesRead = bytesRead;
            BytesWritten = bytesWritten;
            Requests = requests;
            Answers = answers;
        }

        public uint BytesRead { get; private set; }
        public uint BytesWritten { get; private set; }
        public uint Requests { get; private set; }
        public uint Answers { get; private set; }
    }

    /// A request made while the platform is not available: its task fails with this.
    public sealed class PlatformUnavailableException : Exception
    {
        public PlatformUnavailableException(uint installationErrorNum)
            : base("the platform is not available (installation error " + installationErrorNum +
                   ")")
        {
            InstallationErrorNum = installationErrorNum;
        }

        public uint InstallationErrorNum { get; private set; }
    }
}
